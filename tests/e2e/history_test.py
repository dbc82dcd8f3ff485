"""A portrait remembers every orbit that drew it: after a go, a zoom, a double
click in an island, Back and continue, File > Save portrait writes the history
and `trapezola-cli render --replay` draws the saved picture again pixel for
pixel; so after a clear, the grid taken off and on, and a many-orbit fill.
Edit > Copy phase point gives the analyse command whose label is the window's,
and File > Export orbit data the rows `trapezola-cli orbit` prints."""

import json
import os
import shlex
import sys
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from harness import Harness, run_tests  # noqa: E402
from session_test import ROW_RIGHT_ANGLE, cli, differing_pixels, read_png  # noqa: E402

RUN_TIMEOUT = 120


def fill(h: Harness, distance: str, angle: str, repeat: str) -> None:
    h.type_into("Edit1", "0.5", leave=True)
    h.type_into("Edit2", "2", leave=True)
    h.type_into("Edit3", distance)
    h.type_into("Edit4", angle)
    h.type_into("Edit5", repeat)


class PortraitHistory(unittest.TestCase):
    def save_and_replay(self, h: Harness, name: str) -> None:
        saved = os.path.join(h.work_dir, name + ".png")
        h.choose_menu("File", "Save portrait...")
        h.choose_file(saved)
        shown = h.portrait()
        self.assertEqual(differing_pixels(read_png(saved), shown)[:10], [], "the saved picture")
        replayed = os.path.join(h.work_dir, name + "-replayed.png")
        cli(h, "render", "--replay", saved, "--out", replayed)
        diff = differing_pixels(read_png(replayed), read_png(saved))
        self.assertEqual(diff[:10], [], f"{name}: {len(diff)} pixels differ from the replay")

    def test_zoom_double_click_back_continue_then_replay(self):
        with Harness() as h:
            fill(h, "0.7", "61", "4")
            h.click("Button1", timeout=RUN_TIMEOUT)
            # A zoom replays the hovered orbit, a double click in it runs
            # another, Back replays the first, continue runs on the second.
            h.mouse_move_portrait(300, 300)
            h.right_drag(200, 200, 500, 450, timeout=RUN_TIMEOUT)
            h.mouse_move_portrait(350, 330)
            h.double_click_portrait(350, 330, timeout=RUN_TIMEOUT)
            h.key("BackSpace", timeout=RUN_TIMEOUT)
            h.click("Button1", timeout=RUN_TIMEOUT)
            self.save_and_replay(h, "sequence")

            # A clear, the grid off and on again, another go on the cleared
            # portrait, a right click that draws nothing.
            h.click("Button4")
            h.set_check("CheckBox3", False)
            h.set_check("CheckBox3", True)
            h.type_into("Edit3", "2.5")
            h.type_into("Edit4", "100")
            h.click("Button1", timeout=RUN_TIMEOUT)

            # Find periodic orbit near the vertical two-bounce orbit through
            # the middle of the top arc: its points are circled on the
            # portrait and named on the status line.
            s1 = json.loads(cli(h, "table", "--b", "0.5", "--rr", "2"))["s1"]
            scale_s = 778 / 8.0173753548467133
            h.type_into("Edit6", "2")
            h.mouse_move_portrait(int(s1 / 2 * scale_s + 6), ROW_RIGHT_ANGLE + 4)
            h.key("ctrl+p", timeout=RUN_TIMEOUT)
            found = json.loads(cli(h, "periodic", "--b", "0.5", "--rr", "2", "--period", "2",
                                   "--near", f"{s1 / 2!r},90"))
            self.assertTrue(found["converged"])
            self.assertEqual(h.text("StatusLine"),
                             f"periodic orbit 1/2: trace {found['trace']:.8g}, {found['class']}, "
                             f"residual {found['residual']:.2g}")
            h.type_into("Edit6", "0")
            self.save_and_replay(h, "cleared")

            # Many orbits: the portrait is cleared and filled.
            h.choose_menu("Run", "Many orbits...")
            h.key("ctrl+a", "6", "Return")
            h.key("ctrl+a", "3", "0", "0", "0", "Return", timeout=RUN_TIMEOUT)
            self.save_and_replay(h, "orbits")

            # A saved portrait loads with its history: a run after the load
            # is replayed on top of the saved ones.
            h.choose_menu("File", "Load...")
            h.choose_file(os.path.join(h.work_dir, "sequence.png"))
            h.click("Button1", timeout=RUN_TIMEOUT)
            self.save_and_replay(h, "reloaded")
            h.assert_alive()
            self.assertEqual(h.close_main_window(), 0)
            self.assertEqual(h.sanitizer_reports(), [], h.stderr())

    def test_copy_phase_point_and_export_orbit_data(self):
        with Harness() as h:
            fill(h, "0.7", "60", "1")
            h.click("Button1", timeout=RUN_TIMEOUT)

            # The analysis of a point that no 7-digit read-out names exactly.
            x, y = 301, ROW_RIGHT_ANGLE - 37
            h.mouse_move_portrait(x, y)
            h.right_click_portrait(x, y, timeout=RUN_TIMEOUT)
            label = h.text("Label11")
            h.key("ctrl+shift+c")
            status = h.text("StatusLine")
            self.assertTrue(status.startswith("copied: trapezola-cli analyse --b 0.5 --rr 2 --distance "), status)
            words = shlex.split(status[len("copied: "):])
            self.assertIn("--phi", words)
            result = json.loads(cli(h, *words[1:]))
            self.assertEqual(result["label"], label)

            # Export orbit data: the go's orbit, bounce 0 to 1000, as orbit prints it.
            data = os.path.join(h.work_dir, "orbits.csv")
            h.choose_menu("File", "Export orbit data...")
            h.choose_file(data)
            with open(data) as f:
                rows = f.read().splitlines()
            self.assertEqual(rows[0], "orbit,bounce,s,phi")
            printed = cli(h, "orbit", "--b", "0.5", "--rr", "2", "--distance", "0.7", "--angle", "60",
                          "--bounces", "1000").splitlines()[1:]
            expected = ["0," + ",".join(row.split(",")[:3]) for row in printed]
            self.assertEqual(rows[1:], expected)

            # Export figure: the same orbit's dots at their exact (s, phi),
            # one vector path, not the portrait's pixels as rectangles.
            figure = os.path.join(h.work_dir, "figure.svg")
            h.choose_menu("File", "Export figure...")
            h.choose_file(figure)
            with open(figure, encoding="utf-8") as f:
                svg = f.read()
            self.assertLess(svg.count("<rect"), 20, "the dots are no rectangles")
            self.assertIn("<path", svg)
            self.assertEqual(h.close_main_window(), 0)
            self.assertEqual(h.sanitizer_reports(), [], h.stderr())


if __name__ == "__main__":
    run_tests()
