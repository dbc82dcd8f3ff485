"""Runs that can be stopped, through the real window: the go button reads
"stop" while a run goes, Escape or the button stops it, input meanwhile is
refused and not delivered later, "continue" finishes a stopped run so that the
picture is one run's (compared with trapezola-cli render), and closing the
window during a run ends the program, and so do closing it and Ctrl+Q, idle or
during a run.

The stop, close and quit latencies are measured from the moment the harness
sends the gesture until the button reads "continue" or the process has ended,
harness round trips (xdotool, the accessibility bus) included, and printed;
they are not held to the program's aim, as wall-clock time depends on the
machine's load. The steps' timeouts and the quit guard only turn a hang or a
slow teardown into a failure.
"""

import os
import sys
import time
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from harness import Harness, StepTimeout, run_tests  # noqa: E402
from session_test import cli, differing_pixels, read_png  # noqa: E402

# About 200 million bounces: tens of seconds, far longer than the steps below.
LONG_REPEAT = "200000"
# A few million bounces: long enough to be stopped, short enough to finish.
SHORT_REPEAT = "3000"
RUN_TIMEOUT = 120
# Only a guard against a hang or a slow teardown, far above the latency the
# program aims at (0.3 s); the latencies themselves are printed.
QUIT_GUARD = 5


def fill(h: Harness, repeat: str) -> None:
    h.type_into("Edit1", "0.5", leave=True)
    h.type_into("Edit2", "2", leave=True)
    h.type_into("Edit3", "0.7")
    h.type_into("Edit4", "60")
    h.type_into("Edit5", repeat)


def until(h: Harness, condition, what: str, timeout: float = 10) -> float:
    """Waits for a condition; returns the seconds it took."""
    started = time.monotonic()
    deadline = started + timeout * h.scale
    while not condition():
        h.assert_alive(what)
        if time.monotonic() > deadline:
            raise StepTimeout(f"{what}: not within {timeout * h.scale:.1f} s")
        time.sleep(0.002)
    return time.monotonic() - started


def report(what: str, seconds: float) -> None:
    sys.stderr.write(f"{what}: {seconds * 1000:.0f} ms\n")


class StoppableRuns(unittest.TestCase):
    def test_stop_refused_input_continue_and_close(self):
        with Harness() as h:
            fill(h, LONG_REPEAT)
            h.click("Button1", run_may_go=True)
            self.assertEqual(h.text("Button1"), "stop")
            until(h, lambda: not h.text("StatusLine").startswith("0 of"), "bounces counted")
            self.assertRegex(h.text("StatusLine"), r"^[\d ]+ of 200 000 000 bounces")

            # Typing and clicking meanwhile are refused, and do not arrive later.
            h.click("Edit1", run_may_go=True)
            h.key("9", run_may_go=True)
            h.click("Button4", run_may_go=True)
            self.assertEqual(h.text("Edit1"), "0.5")
            self.assertTrue(h.running())

            # Escape stops the run wherever the focus is.
            sent = time.monotonic()
            h._xdotool("key", "Escape")
            until(h, lambda: h.text("Button1") == "continue", "Escape stops")
            report("stop latency (Escape)", time.monotonic() - sent)
            self.assertRegex(h.text("StatusLine"), r"^stopped at [\d ]+ of 200 000 000 bounces")
            self.assertNotEqual(h.text("Label8"), "ready!")
            h.wait_idle(step="after the stop")
            self.assertEqual(h.text("Edit1"), "0.5", "refused keys are not delivered later")

            # "continue" goes on; the button stops it again.
            h.click("Button1", run_may_go=True)
            self.assertEqual(h.text("Button1"), "stop")
            sent = time.monotonic()
            h.click("Button1", run_may_go=True)
            until(h, lambda: h.text("Button1") == "continue", "the button stops")
            report("stop latency (button)", time.monotonic() - sent)

            # Closing the window during a run ends the program.
            h.click("Button1", run_may_go=True)
            self.assertTrue(h.running())
            sent = time.monotonic()
            status = h.close_main_window()
            report("close latency", time.monotonic() - sent)
            self.assertEqual(status, 0)
            self.assertEqual(h.sanitizer_reports(), [], h.stderr())

    def test_a_stopped_and_continued_run_draws_one_run(self):
        with Harness() as h:
            fill(h, SHORT_REPEAT)
            h.click("Button1", run_may_go=True)
            # Stop with Esc, which does nothing once the run has ended: the
            # button would then continue it and draw more than one run.
            h.key("Escape", run_may_go=True)
            h.wait_idle(step="stopped")
            while h.text("Label8") != "ready!":
                h.click("Button1", timeout=RUN_TIMEOUT)
            self.assertEqual(h.text("Button1"), "continue")
            path = os.path.join(h.work_dir, "one-run.png")
            cli(h, "render", "--b", "0.5", "--rr", "2", "--distance", "0.7", "--angle", "60",
                "--repeat", SHORT_REPEAT, "--out", path)
            differing = differing_pixels(h.portrait(), read_png(path))
            self.assertEqual(differing[:10], [], f"{len(differing)} pixels differ from one run")
            self.assertEqual(h.close_main_window(), 0)


class QuitAtOnce(unittest.TestCase):
    def test_closing_or_ctrl_q_ends_the_program_idle_and_during_a_run(self):
        for during_run in (False, True):
            for how in ("close", "Ctrl+Q"):
                with self.subTest(how=how, during_run=during_run), Harness() as h:
                    fill(h, LONG_REPEAT)
                    if during_run:
                        h.click("Button1", run_may_go=True)
                        self.assertTrue(h.running())
                    sent = time.monotonic()
                    status = h.close_main_window() if how == "close" else h.quit_by_shortcut()
                    latency = time.monotonic() - sent
                    report(f"quit latency ({how}, {'during a run' if during_run else 'idle'})", latency)
                    self.assertEqual(status, 0)
                    self.assertLess(latency, QUIT_GUARD * h.scale)
                    self.assertEqual(h.sanitizer_reports(), [], h.stderr())


if __name__ == "__main__":
    run_tests()
