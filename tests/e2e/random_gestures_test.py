"""A long random session through the real windows: whatever a person types,
clicks, drags or loads, the program keeps running, finishes every gesture within
the time its work takes, and reports nothing to the sanitizers.

The session is a fixed number of events drawn from a seeded generator:
  TRAPEZOLA_E2E_SEED    (or --seed N)    the seed, default 20261208;
  TRAPEZOLA_E2E_EVENTS  (or --events N)  the number of events, default 2000.
Seed and count are printed at the start; a failure prints them again with the
index of the failing event and the events before it. The same seed and count
replay the same session; a count of (failing index + 1) stops at the fault.

Every gesture is bounded by the work it asks for: typed repeat counts stay at 5
or below (5000 bounces a run), typed periods at 20, block sizes at 100 and block
counts at 50, so the longest analysis is 3000 + 20 + 5000 bounces. Bad texts are
the ones that cannot convert (or convert to the same small range), never a huge
number of bounces a person would have asked for on purpose.
"""

from __future__ import annotations

import os
import random
import re
import shutil
import subprocess
import sys
import tempfile
import time
import unittest
from collections import Counter, deque
from typing import Callable, Optional

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from harness import (SANITIZER_REPORT, Harness, HarnessError,  # noqa: E402
                     UnexpectedErrorBox, run_tests)

DEFAULT_SEED = 20261208
DEFAULT_EVENTS = 2000
RECENT_EVENTS = 20

# Seconds (scaled by the harness) for one gesture. The largest work a gesture
# can ask for here is about 6000 bounces plotted, or an analysis of 8020
# bounces: a few milliseconds; the rest is the round trip of the X events.
STEP_TIMEOUT = 10

PORTRAIT_SIZE = (794, 681)

# The markers that the load button looks for anywhere in the chosen path.
NAME_MARKERS = ("B_", "rr_", "_i", "kx_", "kn_", "px_", "pn_")

# Texts that no field converts (or that convert to something harmless).
BAD_TEXTS = ["abc", "", "-", "1e999", "-1e999", "nan", "NaN", "inf", "-inf",
             "99999999999999999999", "-99999999999999999999", "   ", " 1", "1 ", "1,5",
             "0x10", "+", ".", "e5", "1e", "--1", "12abc", "\u00e9", "1.2.3",
             "0.5" * 3]
LONG_TEXTS = ["9" * 40, "x" * 40, "1" + "0" * 39, "-" * 30, "0." + "3" * 38]


def _setting(name: str, flag: str, default: int) -> int:
    """An integer from --flag N / --flag=N on the command line, else the
    environment variable, else the default."""
    for i, arg in enumerate(sys.argv):
        if arg == flag and i + 1 < len(sys.argv):
            return int(sys.argv[i + 1])
        if arg.startswith(flag + "="):
            return int(arg.split("=", 1)[1])
    return int(os.environ.get(name, default))


def _strip_flags(argv: list[str], flags: tuple[str, ...]) -> list[str]:
    kept, skip = [], False
    for arg in argv:
        if skip:
            skip = False
        elif arg in flags:
            skip = True
        elif not arg.startswith(tuple(f + "=" for f in flags)):
            kept.append(arg)
    return kept


def _cli_path(program: str) -> str:
    cli = os.environ.get("TRAPEZOLA_CLI") or os.path.join(
        os.path.dirname(os.path.dirname(program)), "cli", "trapezola-cli")
    if not os.access(cli, os.X_OK):
        raise HarnessError(f"trapezola-cli not found at {cli}: set TRAPEZOLA_CLI")
    return cli


def _marker_free_folder() -> str:
    """A new folder whose path holds none of the load button's markers, so that
    what a load restores depends on the file's name alone."""
    for _ in range(50):
        folder = tempfile.mkdtemp(prefix="trapezola-gestures-")
        if not any(marker in folder for marker in NAME_MARKERS):
            return folder
        os.rmdir(folder)
    raise HarnessError("no temporary folder without load markers in its path")


class Portraits:
    """Picture files for the load button, made by trapezola-cli render: two good
    stored portraits, and copies under names that restore nothing, or an empty
    or reversed window, or extreme values, and a file that is no picture."""

    def __init__(self, cli: str, folder: str):
        self.folder = folder
        self.good: list[str] = []
        for args in (["--b", "0.5", "--rr", "2", "--distance", "1", "--angle", "45"],
                     ["--b", "1", "--rr", "1.5", "--distance", "0.3", "--angle", "80",
                      "--size", "big", "--no-grid"]):
            done = subprocess.run([cli, "render", *args, "--repeat", "1", "--out-dir", folder],
                                  capture_output=True, text=True, timeout=60)
            if done.returncode != 0:
                raise HarnessError(f"trapezola-cli render failed: {done.stderr}")
            self.good.append(done.stdout.strip())
        picture = self.good[0]
        self.bogus: list[str] = []
        for name in ("plain.png",
                     "B_0.5_rr_2_i1_kx_1.00000_kn_1.00000_px_3.14159_pn_0.00000.png",
                     "B_0.5_rr_2_i1_kx_0.00000_kn_5.00000_px_0.00000_pn_3.14159.png",
                     "B_0.5_rr_2_i1_kx_6.11234_kn_0.00000_px_3.14159_pn_3.14159.png",
                     "B_1e308_rr_1e308_i1_kx_9999999_kn_-999999_px_9999999_pn_-999999.png",
                     "B_-3_rr_0_i1_kx_6.11234_kn_0.00000_px_3.14159_pn_0.00000.png",
                     "B_0.5_rr_2_i1_kx_6.11_px_3.14159.png",
                     "B_nan_rr_inf_i1_kx_nan0000_kn_inf0000_px_3.14159_pn_0.00000.png",
                     "my portrait B_0.7_rr_3_i2_kx_2.00000_kn_1.00000_px_2.00000_pn_1.00000.png"):
            path = os.path.join(folder, name)
            shutil.copyfile(picture, path)
            self.bogus.append(path)
        not_a_picture = os.path.join(
            folder, "B_0.5_rr_2_i1_kx_6.11234_kn_0.00000_px_3.14159_pn_0.00000.jpg")
        with open(not_a_picture, "wb") as f:
            f.write(b"this is not a JPEG picture\n" * 10)
        self.bogus.append(not_a_picture)
        # Chosen once and then deleted: a later cancelled dialog reloads a
        # file that is gone.
        self.vanishing = os.path.join(
            folder, "B_0.6_rr_2_i1_kx_6.00000_kn_0.00000_px_3.14159_pn_0.00000.png")
        shutil.copyfile(picture, self.vanishing)


class Session:
    """Draws and performs the events; `log` keeps the recent ones."""

    def __init__(self, h: Harness, rng: random.Random, portraits: Portraits):
        self.h = h
        self.rng = rng
        self.portraits = portraits
        self.recent: deque[str] = deque(maxlen=RECENT_EVENTS)
        self.messages: Counter[str] = Counter()
        self.kinds: Counter[str] = Counter()
        self.colour_items = len(h.combo_items("ColorBox1"))
        self._stderr_seen = 0
        self.events: list[tuple[float, str, Callable[[], None]]] = [
            (22, "type main", self.type_main),
            (14, "move", self.pointer_move),
            (6, "click", self.left_click),
            (4, "double click", self.double_click),
            (6, "right click", self.right_click),
            (6, "right drag", self.right_drag),
            (1, "other drag", self.other_drag),
            (8, "go", lambda: self.press("Button1")),
            (3, "clear", lambda: self.press("Button4")),
            (2, "grid", lambda: self.press("CheckBox3")),
            (2, "lg(Tr) box", lambda: self.press("CheckBox4")),
            (2, "small/big", self.point_size),
            (2, "colour", self.colour),
            (3, "short sight", self.follow_depth),
            (2, "sensitivity", self.sensitivity),
            (3, "load", self.load),
            (7, "type lyapunov", self.type_lyapunov),
            (3, "fit", lambda: self.lyapunov(lambda: self.press("Button2", "lyapunov"))),
            (1, "write", lambda: self.lyapunov(lambda: self.press("Button1", "lyapunov"))),
            (3, "fit window", self.fit_window),
            (1, "clear graph", self.clear_graph),
        ]
        self._weights = [w for w, _, _ in self.events]

    # ------------------------------------------------------------- bookkeeping

    def note(self, text: str) -> None:
        self.recent.append(text)

    def how_to_dismiss(self) -> str:
        return self.rng.choice(("key", "click"))

    def step(self) -> None:
        _, kind, action = self.rng.choices(self.events, weights=self._weights)[0]
        self.kinds[kind] += 1
        try:
            action()
        except UnexpectedErrorBox as box:
            # A focusing click that left a field can raise a box before a
            # combo or track-bar gesture gets its keys: a person reads it,
            # and then closes the list that the click may have dropped down.
            self.note(f"  (gesture stopped at the box {box.text!r})")
            self.settle()
            self.note("  Escape")
            self.h.key("Escape", timeout=STEP_TIMEOUT)
        self.settle()

    def settle(self) -> None:
        """Closes what the event left open, as a person would: error boxes
        with Return or OK, a file dialog with Cancel, any other dialog with
        Escape. Then checks that the program lives and the sanitizers are quiet."""
        h = self.h
        for _ in range(20):
            message = h.error_box()
            if message is not None:
                if not message.strip():
                    raise HarnessError("an error box without a message")
                self.messages[message] += 1
                how = self.how_to_dismiss()
                h.dismiss_error_box(how)
                self.note(f"  dismissed ({how}): {message!r}")
                continue
            if h.file_dialog_open():
                h.cancel_file_dialog()
                self.note("  cancelled a file dialog")
                continue
            if h.dialogs():
                self.note(f"  closed {h.dialogs()}")
                h.close_dialog()
                continue
            break
        else:
            raise HarnessError(f"dialogs keep opening: {h.dialogs()}")
        h.assert_alive("settle")
        self.check_sanitizers()

    def check_sanitizers(self) -> None:
        # Reading standard error only when it grew keeps this cheap.
        try:
            size = os.path.getsize(self.h.stderr_path)
        except OSError:
            return
        if size == self._stderr_seen:
            return
        new_text = self.h.stderr()[self._stderr_seen:]
        self._stderr_seen = size
        reports = [line for line in new_text.splitlines() if SANITIZER_REPORT.search(line)]
        if reports:
            raise HarnessError("a sanitizer reported:\n" + "\n".join(reports[:20]))

    # ----------------------------------------------------------------- values

    def bad_text(self) -> str:
        if self.rng.random() < 0.05:
            return self.rng.choice(LONG_TEXTS)
        return self.rng.choice(BAD_TEXTS)

    def number(self, lo: float, hi: float) -> str:
        value = self.rng.uniform(lo, hi)
        return self.rng.choice((f"{value:.1f}", f"{value:.3f}", f"{value:.6g}", repr(value)))

    def main_text(self, field: str) -> str:
        rng = self.rng
        if rng.random() < 0.3:
            return self.bad_text()
        if field == "Edit1":
            return rng.choice(("0.5", "1", self.number(0.02, 1), "0", "-0.3", "1.5", "1e-9"))
        if field == "Edit2":
            return rng.choice(("2", "1", self.number(1, 6), "0.5", "0", "-2", "1e300", "1e-300"))
        if field == "Edit3":
            return rng.choice(("0", self.number(0, 10), "-1", "1e6", "8.017375"))
        if field == "Edit4":
            return rng.choice(("45", "90", self.number(0, 180), "0", "180", "-30", "720"))
        if field == "Edit5":
            return rng.choice(("1", "1", "2", str(rng.randint(0, 5)), "0", "-1", "-100000"))
        if field == "Edit6":
            return rng.choice(("0", "0", "0", str(rng.randint(1, 20)), "-2", "1000"))
        if field == "kovetes":
            return str(rng.randint(0, 40))
        raise ValueError(field)

    # ------------------------------------------------------------------ events

    def press(self, name: str, window: str = "main") -> None:
        self.note(f"click {window}.{name} ({self.h.text(name, window)!r})")
        self.h.click(name, window, timeout=STEP_TIMEOUT)

    def type_into(self, field: str, text: str, window: str = "main") -> None:
        leave = self.rng.random() < 0.4
        self.note(f"type {text!r} into {window}.{field}" + (" and leave" if leave else ""))
        messages = self.h.type_into(field, text, window, leave=leave, errors="dismiss",
                                    dismiss=self.how_to_dismiss, timeout=STEP_TIMEOUT)
        for message in messages:
            self.messages[message] += 1

    def type_main(self) -> None:
        field = self.rng.choices(("Edit1", "Edit2", "Edit3", "Edit4", "Edit5", "Edit6", "kovetes"),
                                 weights=(4, 4, 4, 4, 4, 3, 1))[0]
        self.type_into(field, self.main_text(field))

    def portrait_point(self, outside: float = 0.0) -> tuple[int, int]:
        width, height = PORTRAIT_SIZE
        if self.rng.random() < outside:
            return self.rng.randint(-120, width + 120), self.rng.randint(-120, height + 80)
        return self.rng.randrange(width), self.rng.randrange(height)

    def pointer_move(self) -> None:
        x, y = self.portrait_point()
        self.note(f"move to ({x}, {y})")
        self.h.mouse_move_portrait(x, y, timeout=STEP_TIMEOUT)

    def left_click(self) -> None:
        x, y = self.portrait_point()
        button = self.rng.choices((1, 2), weights=(9, 1))[0]
        self.note(f"click button {button} at ({x}, {y})")
        self.h.click_portrait(x, y, button=button, timeout=STEP_TIMEOUT)

    def double_click(self) -> None:
        x, y = self.portrait_point()
        self.note(f"double click at ({x}, {y})")
        self.h.double_click_portrait(x, y, timeout=STEP_TIMEOUT)

    def right_click(self) -> None:
        x, y = self.portrait_point()
        self.note(f"right click at ({x}, {y})")
        self.h.right_click_portrait(x, y, timeout=STEP_TIMEOUT)
        self.keep_lyapunov_aside()

    def right_drag(self) -> None:
        rng = self.rng
        x1, y1 = self.portrait_point()
        shape = rng.choices(("free", "tiny", "same x", "same y", "none", "outside"),
                            weights=(5, 2, 1, 1, 1, 2))[0]
        if shape == "free":
            x2, y2 = self.portrait_point()
        elif shape == "tiny":
            x2, y2 = x1 + rng.choice((-1, 1)), y1 + rng.choice((-1, 1))
        elif shape == "same x":
            x2, y2 = x1, self.portrait_point()[1]
        elif shape == "same y":
            x2, y2 = self.portrait_point()[0], y1
        elif shape == "none":
            x2, y2 = x1, y1
        else:
            x2, y2 = self.portrait_point(outside=1.0)
        self.note(f"right drag ({x1}, {y1}) -> ({x2}, {y2}) [{shape}]")
        self.h.right_drag(x1, y1, x2, y2, steps=rng.randint(1, 5), timeout=STEP_TIMEOUT)
        self.keep_lyapunov_aside()

    def other_drag(self) -> None:
        x1, y1 = self.portrait_point()
        x2, y2 = self.portrait_point(outside=0.3)
        button = self.rng.choice((1, 2))
        self.note(f"drag button {button} ({x1}, {y1}) -> ({x2}, {y2})")
        self.h.drag_portrait(x1, y1, x2, y2, button=button, timeout=STEP_TIMEOUT)

    def select(self, name: str, index: int) -> None:
        self.note(f"select item {index} of {name}")
        self.h.select_combo(name, index, timeout=STEP_TIMEOUT)

    def combo_keys(self, name: str) -> None:
        """Steps through a combo box with the keyboard, as a person does who
        clicked it; unlike select_combo this never expects a given item (the
        follow-depth box may show a typed text that is no item)."""
        rng = self.rng
        keys = rng.choice((["Down"] * rng.randint(1, 12), ["Up"] * rng.randint(1, 12),
                           ["Home"], ["End"], ["Page_Down"], ["Page_Up"]))
        self.note(f"click {name}, Escape, keys {keys[0]} x{len(keys)}")
        self.h.click(name, timeout=STEP_TIMEOUT)
        self.h.key("Escape", *keys, timeout=STEP_TIMEOUT)

    def point_size(self) -> None:
        self.select("ComboBox1", self.rng.randrange(2))

    def colour(self) -> None:
        # Item 0 ("Custom...") opens the colour picker; settle() closes it.
        if self.rng.random() < 0.5:
            self.select("ColorBox1", self.rng.randrange(self.colour_items))
        else:
            self.combo_keys("ColorBox1")

    def follow_depth(self) -> None:
        self.combo_keys("kovetes")

    def track_bar_keys(self, name: str, window: str) -> None:
        rng = self.rng
        keys = rng.choice((["Up"] * rng.randint(1, 8), ["Down"] * rng.randint(1, 8),
                           ["Left"] * rng.randint(1, 30), ["Right"] * rng.randint(1, 30),
                           ["Page_Up"], ["Page_Down"], ["Home"], ["End"]))
        self.note(f"click {window}.{name}, keys {keys[0]} x{len(keys)}")
        self.h.click(name, window, timeout=STEP_TIMEOUT)
        self.h.key(*keys, timeout=STEP_TIMEOUT)

    def sensitivity(self) -> None:
        self.track_bar_keys("TrackBar1", "main")

    def load(self) -> None:
        rng = self.rng
        p = self.portraits
        self.note("click load")
        self.h.click("Button2", timeout=STEP_TIMEOUT)
        if not self.h.file_dialog_open():
            return  # the focusing click's box came first; settle() reads it
        choice = rng.choices(("cancel", "good", "bogus", "vanishing"), weights=(3, 4, 4, 1))[0]
        if choice == "cancel":
            self.note("  cancel the file dialog")
            self.h.cancel_file_dialog()
            return
        if choice == "good":
            path = rng.choice(p.good)
        elif choice == "bogus":
            path = rng.choice(p.bogus)
        else:
            path = p.vanishing
            if not os.path.exists(path):
                path = rng.choice(p.good)
        self.note(f"  choose {os.path.basename(path)}")
        self.h.choose_file(path, timeout=STEP_TIMEOUT)
        if path == p.vanishing:
            os.remove(path)
            self.note("  (that file is deleted now)")

    # ------------------------------------------------------- the Lyapunov window

    def keep_lyapunov_aside(self) -> None:
        # A person moves the window off the portrait once it appears over it.
        h = self.h
        if h.error_box() is None and h.window_visible("lyapunov") and \
                h.window_rect("lyapunov").intersects(h.window_rect("main")):
            self.note("  move the Lyapunov window aside")
            h.move_window_aside("lyapunov")

    def lyapunov(self, gesture: Callable[[], None]) -> None:
        """Runs a gesture in the Lyapunov window; while the window is hidden a
        person first makes it appear: ticks the lg(Tr) box or right-clicks."""
        if self.h.window_visible("lyapunov"):
            gesture()
        elif not self.h.checked("CheckBox4"):
            self.note("tick the lg(Tr) box (for the Lyapunov window)")
            self.h.click("CheckBox4", timeout=STEP_TIMEOUT)
        else:
            self.right_click()

    def type_lyapunov(self) -> None:
        rng = self.rng
        field = rng.choices(("Edit1", "Edit2", "Edit3", "Edit4", "Edit5"),
                            weights=(5, 5, 4, 1, 1))[0]
        if rng.random() < 0.3:
            text = self.bad_text()
        elif field == "Edit1":
            text = rng.choice((str(rng.randint(1, 100)), "1", "0", "-5"))
        elif field == "Edit2":
            text = rng.choice((str(rng.randint(1, 50)), "1", "2", "0", "-3"))
        elif field == "Edit3":
            text = rng.choice((self.number(1, 50000), "40000", "0", "-10", "1e-30", "1e38",
                               "1e39"))
        else:
            text = self.number(-100, 100)
        self.lyapunov(lambda: self.type_into(field, text, "lyapunov"))

    def fit_window(self) -> None:
        name = self.rng.choice(("TrackBar1", "TrackBar2"))
        self.lyapunov(lambda: self.track_bar_keys(name, "lyapunov"))

    def clear_graph(self) -> None:
        def gesture() -> None:
            self.note("double click the lg(Tr) graph")
            h = self.h
            x, y = h.rect("Image1", "lyapunov").centre()
            h._before_gesture("double click Image1")
            h._activate("lyapunov")
            h._xdotool("mousemove", str(x), str(y), "click", "--repeat", "2", "--delay", "60",
                       "1")
            h.wait_idle(STEP_TIMEOUT, step="double click Image1")
        self.lyapunov(gesture)


def _settings() -> tuple[int, int]:
    return (_setting("TRAPEZOLA_E2E_SEED", "--seed", DEFAULT_SEED),
            _setting("TRAPEZOLA_E2E_EVENTS", "--events", DEFAULT_EVENTS))


class RandomGestures(unittest.TestCase):
    def test_the_program_survives_a_random_session(self):
        seed, count = _settings()
        print(f"\nrandom gestures: seed {seed}, {count} events", flush=True)
        rng = random.Random(seed)
        folder = _marker_free_folder()
        started = time.monotonic()
        try:
            with Harness() as h:
                portraits = Portraits(_cli_path(h.program), folder)
                session = Session(h, rng, portraits)
                index = -1
                try:
                    for index in range(count):
                        session.note(f"#{index}")
                        session.step()
                    self.assertTrue(h.alive(), "the program ended")
                    status = h.close_main_window()
                except BaseException as failure:
                    tail = h.stderr()[-3000:]
                    try:
                        windows = h.windows() if h.alive() else "(the program has ended)"
                    except Exception as error:  # the report must not hide the failure
                        windows = f"(not readable: {error})"
                    recent = "\n".join(session.recent)
                    raise AssertionError(
                        f"random gestures failed at event {index} of {count} "
                        f"(seed {seed}): {failure}\n"
                        f"replay: TRAPEZOLA_E2E_SEED={seed} TRAPEZOLA_E2E_EVENTS={index + 1}\n"
                        f"--- the last events ---\n{recent}\n"
                        f"--- windows (role, title, showing, active) ---\n{windows}\n"
                        f"--- stderr (end) ---\n{tail}") from failure
                self.assertEqual(status, 0, f"exit status {status}\n{h.stderr()[-3000:]}")
                self.assertEqual(h.sanitizer_reports(), [], h.stderr()[-5000:])
        finally:
            shutil.rmtree(folder, ignore_errors=True)
        elapsed = time.monotonic() - started
        print(f"random gestures: seed {seed}, {count} events in {elapsed:.0f} s "
              f"({elapsed / max(count, 1):.2f} s each)", flush=True)
        print("events: " + ", ".join(f"{k} {n}" for k, n in session.kinds.most_common()))
        print(f"{sum(session.messages.values())} error boxes:")
        # The same message about different texts counts once.
        kinds = Counter(re.sub(r"'[^']*'", "'...'", m) for m in session.messages.elements())
        for message, n in kinds.most_common():
            print(f"  {n:5d}  {message[:160]!r}")


if __name__ == "__main__":
    run_tests(_strip_flags(sys.argv, ("--seed", "--events")))
