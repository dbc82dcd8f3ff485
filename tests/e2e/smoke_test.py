"""A person's first minute with the program, through the real window, and the
harness's own guarantees: a busy program fails the step instead of blocking, and
nothing the harness started outlives it.

Worked example: b = 0.5, R8/R = 2, start 1 along the perimeter at 45 degrees,
10 x 1000 bounces. The radii and corners below agree with
`trapezola-cli table --b 0.5 --rr 2`; the perimeter is corner 1's coordinate
s4 = 8.017375.
"""

import math
import os
import re
import sys
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from harness import (Harness, Rect, StepTimeout, _descendants,  # noqa: E402
                     run_tests)

PERIMETER = 8.017375
GEOMETRY_SUMMARY = ("r=0.68853  R8=2.0656  R=1.0328\n\n"
                    "corners: 1.119214 .. 3.20695 .. 5.929639 .. 8.017375)")
CORNER_COORDINATES = "0.5 1.161895 -0.5 1.161895 -1 -0.7745967 1 -0.7745967 "
BLACK, RED, GREEN = (0, 0, 0), (255, 0, 0), (0, 255, 0)
# The plotting area of the portrait, inside its 6-pixel left and 3-pixel bottom margins.
PLOT_AREA = Rect(6, 12, 778, 666)


def fill_table(h: Harness, repeat: str = "10") -> None:
    h.type_into("Edit1", "0.5", leave=True)
    h.type_into("Edit2", "2", leave=True)
    h.type_into("Edit3", "1")
    h.type_into("Edit4", "45")
    h.type_into("Edit5", repeat)


class FirstSession(unittest.TestCase):
    def test_go_hover_and_a_bad_number(self):
        with Harness() as h:
            self.assertEqual(h.text("Button1"), "go")
            self.assertEqual(h.text("kovetes"), "0")
            self.assertEqual(h.portrait().non_white(PLOT_AREA), 0, "the portrait starts empty")

            fill_table(h)
            h.click("Button1", timeout=60)
            self.assertEqual(h.text("Label1"), GEOMETRY_SUMMARY)
            self.assertEqual(h.text("Label11"), CORNER_COORDINATES)
            self.assertEqual(h.text("Label8"), "ready!")
            self.assertEqual(h.text("Button1"), "continue")

            portrait = h.portrait()
            colours = portrait.colours()
            self.assertGreater(colours.get(BLACK, 0), 2000, "the run's bounces as black dots")
            self.assertGreater(colours.get(RED, 0), 1000, "the red frame and grid")
            self.assertGreater(colours.get(GREEN, 0), 1000, "the green corner curves")

            # The read-out inverts the plot mapping: x = 6 at s = 0 over the
            # whole perimeter, y = 9 at phi = pi. Its 7 significant digits give
            # the tolerance.
            x, y = 300, 300
            h.mouse_move_portrait(x, y)
            readout = re.fullmatch(r"dist:  (\S+)  angle:  (\S+)", h.text("Label8"))
            self.assertIsNotNone(readout, h.text("Label8"))
            s = (x - 6) * PERIMETER / 778
            angle = 180 - (y - 9) * 180 / 666
            self.assertAlmostEqual(float(readout.group(1)), s, delta=1e-5)
            self.assertAlmostEqual(float(readout.group(2)), angle, delta=1e-4)
            self.assertRegex(h.text("Label9"), r"^x: \S+     y: \S+$")

            # Leaving R8/R with a text that is no number: one error box, and the
            # table on screen stays the one built before.
            errors = h.type_into("Edit2", "abc", leave=True, errors="keep")
            self.assertEqual(errors, ["R8/R: 'abc' is not a valid floating point value"])
            self.assertEqual(h.dismiss_error_box(), "R8/R: 'abc' is not a valid floating point value")
            self.assertIsNone(h.error_box())
            h.assert_alive()
            self.assertEqual(h.text("Label1"), GEOMETRY_SUMMARY)

            # Live fields report every keystroke that cannot grow into a
            # number, naming the field; a number being typed is let be.
            errors = h.type_into("Edit1", "x1", errors="dismiss")
            self.assertEqual(errors, ["b: 'x' is not a valid floating point value",
                                      "b: 'x1' is not a valid floating point value"])
            self.assertEqual(h.type_into("Edit1", "-1e-3"), [])
            h.assert_alive()

            self.assertEqual(h.close_main_window(), 0)
            self.assertEqual(h.sanitizer_reports(), [], h.stderr())


class HarnessGuarantees(unittest.TestCase):
    def test_a_run_longer_than_its_timeout_fails_the_step_and_leaves_nothing(self):
        with Harness() as h:
            # A thousand million bounces: far beyond any step's timeout.
            fill_table(h, repeat="1000000")
            started = h.alive()
            with self.assertRaisesRegex(StepTimeout, r"click\(Button1\).*still busy"):
                h.click("Button1", timeout=0.5)
            self.assertTrue(started and h.alive(), "busy, not dead")
        self.assertEqual(_descendants(os.getpid()), [], "processes left behind")

    def test_a_program_that_died_is_reported_with_its_status(self):
        with Harness() as h:
            h._program.kill()
            h._program.wait()
            with self.assertRaisesRegex(AssertionError, "ended with status -9"):
                h.click("Button1")
        self.assertEqual(_descendants(os.getpid()), [])


if __name__ == "__main__":
    run_tests()
