"""The menu bar above the client area, driven over the accessibility bus: Run >
Go / Continue and Stop, File > Save portrait and a load that restores every
parameter, File > Export figure in each format, a right-drag zoom and View >
Back and Full view, Run > Many orbits with its two questions, and Help > About
with the version. The client area's controls are where they always were."""

import os
import re
import sys
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from harness import Harness, run_tests  # noqa: E402
from run_control_test import fill  # noqa: E402
from session_test import differing_pixels, read_png  # noqa: E402

RUN_TIMEOUT = 120
BLACK = (0, 0, 0)


class MenuBar(unittest.TestCase):
    def test_every_item_is_reachable_and_enabled_as_the_state_allows(self):
        with Harness() as h:
            for path in [("File", "Load..."), ("File", "Save portrait..."), ("File", "Export figure..."),
                         ("File", "Quit"), ("View", "Back"), ("View", "Full view"),
                         ("Run", "Go / Continue"), ("Run", "Many orbits..."),
                         ("Help", "Keyboard shortcuts"), ("Help", "About Trapezola")]:
                self.assertTrue(h.menu_enabled(*path), " > ".join(path))
            self.assertFalse(h.menu_enabled("Run", "Stop"), "nothing to stop yet")

            fill(h, "200000")
            h.choose_menu("Run", "Go / Continue", run_may_go=True)
            self.assertEqual(h.text("Button1"), "stop")
            self.assertTrue(h.menu_enabled("Run", "Stop"))
            self.assertFalse(h.menu_enabled("File", "Save portrait..."), "refused during a run")
            h.choose_menu("Run", "Stop", timeout=10)
            self.assertEqual(h.text("Button1"), "continue")
            self.assertFalse(h.menu_enabled("Run", "Stop"))

            h.choose_menu("Help", "About Trapezola")
            self.assertTrue(any(title == "About Trapezola" for _, title in h.dialogs()), h.dialogs())
            h.close_dialog()
            self.assertEqual(h.close_main_window(), 0)

    def test_save_load_export_zoom_back_and_many_orbits(self):
        with Harness() as h:
            fill(h, "2")
            h.choose_menu("Run", "Go / Continue", timeout=RUN_TIMEOUT)
            self.assertEqual(h.text("Label8"), "ready!")
            before = h.portrait()

            # Save: the suggested name is the stored-portrait name.
            saved = os.path.join(h.work_dir, "saved.png")
            h.choose_menu("File", "Save portrait...")
            h.choose_file(saved)
            self.assertTrue(os.path.exists(saved))
            self.assertEqual(differing_pixels(read_png(saved), before)[:10], [])

            # Export in each format.
            for name in ("figure.svg", "figure.pdf"):
                h.choose_menu("File", "Export figure...")
                h.choose_file(os.path.join(h.work_dir, name))
            with open(os.path.join(h.work_dir, "figure.svg"), encoding="utf-8") as svg:
                self.assertIn("b = 0.5, R8/R = 2", svg.read())
            with open(os.path.join(h.work_dir, "figure.pdf"), "rb") as pdf:
                self.assertEqual(pdf.read(5), b"%PDF-")
            h.choose_menu("File", "Export figure...")
            h.choose_file(os.path.join(h.work_dir, "figure.png"))
            h.key("ctrl+a", "9", "0", "0", "Return")  # the PNG's width
            self.assertEqual(read_png(os.path.join(h.work_dir, "figure.png")).width, 900)

            # Zoom, then back: the read-out maps as before the zoom again. The
            # pointer leaves the point each time: a move to where it stands is
            # no move at all.
            def read_out_at_300():
                h.mouse_move_portrait(310, 310)
                h.mouse_move_portrait(300, 300)
                return h.text("Label8")

            h.mouse_move_portrait(300, 300)
            readout = h.text("Label8")
            h.right_drag(200, 200, 500, 450)
            self.assertNotEqual(read_out_at_300(), readout)
            h.choose_menu("View", "Back", timeout=RUN_TIMEOUT)
            self.assertEqual(read_out_at_300(), readout)
            h.right_drag(200, 200, 500, 450)
            h.choose_menu("View", "Full view", timeout=RUN_TIMEOUT)
            self.assertEqual(read_out_at_300(), readout)

            # Other fields, then load: every parameter comes back.
            h.type_into("Edit3", "2")
            h.type_into("Edit4", "45")
            h.choose_menu("File", "Load...")
            h.choose_file(saved)
            self.assertEqual(h.text("Edit3"), "0.7")
            self.assertEqual(h.text("Edit4"), "60")
            self.assertEqual(h.text("Edit5"), "2")
            self.assertEqual(h.text("Button1"), "continue")
            self.assertEqual(differing_pixels(h.portrait(), before)[:10], [])

            # Many orbits: how many, then how many bounces each.
            h.choose_menu("Run", "Many orbits...")
            h.key("ctrl+a", "8", "Return")
            h.key("ctrl+a", "5", "0", "0", "0", "Return", timeout=RUN_TIMEOUT)
            self.assertEqual(h.text("StatusLine"), "many orbits ready: 40 000 bounces")
            colours = h.portrait().colours()
            self.assertGreaterEqual(len([c for c in colours if c not in ((255, 255, 255),)]), 8,
                                    "one colour an orbit, besides the grid's")
            h.assert_alive()
            self.assertEqual(h.close_main_window(), 0)
            self.assertEqual(h.sanitizer_reports(), [], h.stderr())


if __name__ == "__main__":
    run_tests()
