"""Drives the real trapezola program under a private X server, as a person would.

One Harness owns one private world: an Xvfb display of its own, a D-Bus session
of its own (and the accessibility bus that it starts on demand), temporary HOME
and XDG folders, and the program. Gestures are real X input events sent with
xdotool (XTest); what the windows show is read back through the accessibility
interface (AT-SPI over D-Bus) for texts and through screenshots for pixels.
The AT-SPI calls go straight over D-Bus (python3-dbus) rather than through
pyatspi: its libatspi keeps one process-wide connection to the first
accessibility bus it finds, and a test process runs several harnesses, each on
a bus of its own.

Conventions:
  names      controls are named by their layout names ("Label11", "Edit1",
             "faziskep"); the window is "main" (Form1) or "lyapunov" (Form3).
             The program publishes each control's layout name as its
             accessible description, where it is looked up: no position,
             size or font enters into finding a control.
  portrait   pixel coordinates (x, y) inside faziskep, origin top left, the
             coordinates the program's handlers receive.
  timeouts   seconds, multiplied by the scale from TRAPEZOLA_E2E_TIMEOUT_SCALE
             (the sanitizer build is several times slower). Every step that
             waits has one; exceeding it raises StepTimeout, never blocks.
  idle       the program has handled every input sent so far (it answers
             accessibility calls again) and no orbit run is going: a run
             computes on a worker thread while the window answers, and goes
             on until the go button no longer reads "stop". Gestures given
             run_may_go=True return as soon as the input is handled, to act
             on a run while it goes (stop it, try input that it refuses).

Errors the program shows in a message box are not swallowed: a gesture that
raises one leaves it open, and the next gesture fails with UnexpectedErrorBox
unless the test reads it with error_box() / expect_error() and closes it with
dismiss_error_box(), or asked the gesture to dismiss it (type_into(...,
errors="dismiss")). select_combo and set_track_bar stop at once with
UnexpectedErrorBox when their focusing click raises one (the box stays open).

There is no window manager: the harness activates the window it is about to
click into, as a click-to-focus window manager would, so keys follow the click.
"""

from __future__ import annotations

import ctypes
import os
import re
import shutil
import signal
import subprocess
import sys
import tempfile
import time
from dataclasses import dataclass
from typing import Callable, Iterable, Optional

try:
    import dbus
    from Xlib import X, display as xdisplay, protocol as xprotocol
except ImportError as missing:  # pragma: no cover - environment check
    sys.stderr.write(
        f"e2e harness: {missing}. Run it with Debian's /usr/bin/python3 and install the "
        "packages of `make deps` (python3-dbus, python3-xlib).\n")
    raise

MAIN_WINDOW_TITLE = "Trapezola    (Beta version)"
LYAPUNOV_WINDOW_TITLE = "Ljapunov-exponent"
WINDOW_TITLES = {"main": MAIN_WINDOW_TITLE, "lyapunov": LYAPUNOV_WINDOW_TITLE}

# Wide enough to put the Lyapunov window beside the main window (move_window_aside).
SCREEN_SIZE = (1920, 1200)
WHITE = (255, 255, 255)

# What the sanitizers write to standard error when they find something.
SANITIZER_REPORT = re.compile(
    r"ERROR: AddressSanitizer|ERROR: LeakSanitizer|runtime error:|"
    r"WARNING: AddressSanitizer|ThreadSanitizer|MemorySanitizer")

ATSPI = "org.a11y.atspi"
ACCESSIBLE = ATSPI + ".Accessible"
COMPONENT = ATSPI + ".Component"
TEXT = ATSPI + ".Text"
VALUE = ATSPI + ".Value"
STATE_SHOWING = 25  # AT-SPI state bits, atspi-constants.h
STATE_VISIBLE = 30
STATE_FOCUSED = 12
STATE_CHECKED = 4
STATE_ENABLED = 8


class HarnessError(AssertionError):
    """A step of an end-to-end test failed; the message says which and why."""


class StepTimeout(HarnessError):
    pass


class ProgramDied(HarnessError):
    pass


class UnexpectedErrorBox(HarnessError):
    def __init__(self, text: str, step: str):
        super().__init__(f"{step}: an error box is open: {text!r}")
        self.text = text


def _timeout_scale() -> float:
    try:
        return max(1.0, float(os.environ.get("TRAPEZOLA_E2E_TIMEOUT_SCALE", "1")))
    except ValueError:
        return 1.0


def program_from_command_line(argv: list[str]) -> Optional[str]:
    """The value of --program PATH or --program=PATH, if given."""
    for i, arg in enumerate(argv):
        if arg == "--program" and i + 1 < len(argv):
            return argv[i + 1]
        if arg.startswith("--program="):
            return arg.split("=", 1)[1]
    return None


def _become_subreaper() -> None:
    # Helpers that D-Bus activates (the accessibility bus and its registry) are
    # grandchildren; as a subreaper this process inherits them when their parent
    # goes, so stop() can find and end them.
    pr_set_child_subreaper = 36
    try:
        ctypes.CDLL(None, use_errno=True).prctl(pr_set_child_subreaper, 1, 0, 0, 0)
    except (OSError, AttributeError):
        pass


def _die_with_parent() -> None:
    # Runs in the child before exec: if the harness is killed outright (CTest's
    # timeout), its direct children go with it.
    pr_set_pdeathsig = 1
    try:
        ctypes.CDLL(None, use_errno=True).prctl(pr_set_pdeathsig, signal.SIGKILL, 0, 0, 0)
    except (OSError, AttributeError):
        pass


def _descendants(root_pid: int) -> list[int]:
    children: dict[int, list[int]] = {}
    for entry in os.listdir("/proc"):
        if not entry.isdigit():
            continue
        try:
            with open(f"/proc/{entry}/stat", "rb") as stat:
                # The command name may hold blanks and parentheses; ppid follows the last ')'.
                fields = stat.read().rsplit(b")", 1)[1].split()
            children.setdefault(int(fields[1]), []).append(int(entry))
        except (OSError, IndexError, ValueError):
            continue
    found, todo = [], [root_pid]
    while todo:
        for child in children.get(todo.pop(), []):
            found.append(child)
            todo.append(child)
    return found


def _vanished(error: dbus.DBusException) -> bool:
    """Whether a call failed because its accessible object is gone: a window
    that closed while the harness was asking about it."""
    return error.get_dbus_name() in ("org.freedesktop.DBus.Error.UnknownInterface",
                                     "org.freedesktop.DBus.Error.UnknownObject",
                                     "org.freedesktop.DBus.Error.UnknownMethod")


@dataclass
class Rect:
    x: int
    y: int
    width: int
    height: int

    def centre(self) -> tuple[int, int]:
        return self.x + self.width // 2, self.y + self.height // 2

    def intersects(self, other: "Rect") -> bool:
        return (self.x < other.x + other.width and other.x < self.x + self.width and
                self.y < other.y + other.height and other.y < self.y + self.height)


class Image:
    """A screenshot: pixel(x, y) -> (r, g, b), origin top left of the shot."""

    def __init__(self, width: int, height: int, bgrx: bytes):
        self.width = width
        self.height = height
        self._data = bgrx

    def pixel(self, x: int, y: int) -> tuple[int, int, int]:
        if not (0 <= x < self.width and 0 <= y < self.height):
            raise IndexError(f"pixel ({x}, {y}) outside {self.width} x {self.height}")
        i = 4 * (y * self.width + x)
        b, g, r = self._data[i], self._data[i + 1], self._data[i + 2]
        return r, g, b

    def count(self, keep: Callable[[tuple[int, int, int]], bool],
              region: Optional[Rect] = None) -> int:
        area = region or Rect(0, 0, self.width, self.height)
        return sum(1 for y in range(area.y, area.y + area.height)
                   for x in range(area.x, area.x + area.width) if keep(self.pixel(x, y)))

    def count_colour(self, colour: tuple[int, int, int], region: Optional[Rect] = None) -> int:
        return self.count(lambda p: p == colour, region)

    def non_white(self, region: Optional[Rect] = None) -> int:
        return self.count(lambda p: p != WHITE, region)

    def colours(self, region: Optional[Rect] = None) -> dict[tuple[int, int, int], int]:
        area = region or Rect(0, 0, self.width, self.height)
        histogram: dict[tuple[int, int, int], int] = {}
        for y in range(area.y, area.y + area.height):
            for x in range(area.x, area.x + area.width):
                p = self.pixel(x, y)
                histogram[p] = histogram.get(p, 0) + 1
        return histogram


class _Accessible:
    """One object of the program's accessibility tree, by its D-Bus address."""

    def __init__(self, harness: "Harness", bus_name: str, path: str):
        self._h = harness
        self.bus_name = bus_name
        self.path = path

    def _call(self, interface: str, method: str, *args, timeout: float = 2.0):
        obj = self._h._a11y.get_object(self.bus_name, self.path, introspect=False)
        return getattr(obj, method)(*args, dbus_interface=interface, timeout=timeout)

    def _property(self, interface: str, name: str, timeout: float = 2.0):
        return self._call("org.freedesktop.DBus.Properties", "Get", interface, name,
                          timeout=timeout)

    def children(self) -> list["_Accessible"]:
        return [_Accessible(self._h, str(bus), str(path))
                for bus, path in self._call(ACCESSIBLE, "GetChildren")]

    def descendants(self, role: str) -> list["_Accessible"]:
        found = []
        for child in self.children():
            if child.role() == role:
                found.append(child)
            found += child.descendants(role)
        return found

    def role(self) -> str:
        return str(self._call(ACCESSIBLE, "GetRoleName"))

    def name(self) -> str:
        return str(self._property(ACCESSIBLE, "Name"))

    def description(self) -> str:
        return str(self._property(ACCESSIBLE, "Description"))

    def states(self) -> int:
        low, high = self._call(ACCESSIBLE, "GetState")
        return int(low) | (int(high) << 32)

    def has_state(self, bit: int) -> bool:
        return bool(self.states() >> bit & 1)

    def extents(self) -> Rect:
        x, y, w, h = self._call(COMPONENT, "GetExtents", dbus.UInt32(0))  # screen coordinates
        return Rect(int(x), int(y), int(w), int(h))

    def text(self) -> str:
        return str(self._call(TEXT, "GetText", 0, -1))

    def value(self) -> float:
        return float(self._property(VALUE, "CurrentValue"))

    def __eq__(self, other) -> bool:
        return isinstance(other, _Accessible) and (self.bus_name, self.path) == (other.bus_name,
                                                                                 other.path)

    def __hash__(self) -> int:
        return hash((self.bus_name, self.path))


class Harness:
    """The program under a private display; see the module comment.

    Use as a context manager (`with Harness() as h:`), or call start() and
    stop(). stop() always ends every process the harness started.
    """

    def __init__(self, program: Optional[str] = None, *, timeout_scale: Optional[float] = None,
                 screen: tuple[int, int] = SCREEN_SIZE, log: Optional[Callable[[str], None]] = None):
        program = (program or program_from_command_line(sys.argv)
                   or os.environ.get("TRAPEZOLA_PROGRAM"))
        if not program:
            raise HarnessError("no program: pass --program PATH or set TRAPEZOLA_PROGRAM")
        self.program = os.path.abspath(program)
        self.scale = timeout_scale or _timeout_scale()
        self.screen = screen
        self._log = log
        self._procs: list[subprocess.Popen] = []
        self._program: Optional[subprocess.Popen] = None
        self._tmp: Optional[str] = None
        self._x: Optional[xdisplay.Display] = None
        self._a11y = None
        self._session = None
        self._app: Optional[_Accessible] = None
        self._controls: dict[tuple[str, str], _Accessible] = {}
        self._names: dict[str, set[str]] = {}
        self._main_x_window = None
        self._ping_token = 0
        self.display = ""
        self.exit_status: Optional[int] = None

    # ------------------------------------------------------------------ lifetime

    def __enter__(self) -> "Harness":
        self.start()
        return self

    def __exit__(self, *exc) -> None:
        self.stop()

    def start(self, timeout: float = 20) -> None:
        """Starts the display, the D-Bus session and the program; returns once
        the main window is on screen and idle."""
        for tool in ("Xvfb", "xdotool", "dbus-daemon"):
            if not shutil.which(tool):
                raise HarnessError(f"{tool} is missing: install the packages of `make deps`")
        if not os.access(self.program, os.X_OK):
            raise HarnessError(f"program not found or not executable: {self.program}")
        _become_subreaper()
        self._tmp = tempfile.mkdtemp(prefix="trapezola-e2e-")
        try:
            self._start_display()
            self._start_session_bus()
            self._start_program()
            self._attach(timeout * self.scale)
        except BaseException:
            self.stop()
            raise

    def _spawn(self, argv: list[str], **kwargs) -> subprocess.Popen:
        proc = subprocess.Popen(argv, stdin=subprocess.DEVNULL, preexec_fn=_die_with_parent,
                                **kwargs)
        self._procs.append(proc)
        # Log files handed to the child are the child's now.
        for stream in (kwargs.get("stdout"), kwargs.get("stderr")):
            if hasattr(stream, "close"):
                stream.close()
        return proc

    def _read_line_from(self, fd: int, what: str, timeout: float) -> str:
        deadline = time.monotonic() + timeout
        data = b""
        os.set_blocking(fd, False)
        while not data.endswith(b"\n"):
            if time.monotonic() > deadline:
                raise StepTimeout(f"start: {what} did not report within {timeout:.0f} s")
            try:
                chunk = os.read(fd, 256)
            except BlockingIOError:
                time.sleep(0.01)
                continue
            if not chunk:
                raise HarnessError(f"start: {what} ended before it reported")
            data += chunk
        return data.decode().strip()

    def _start_display(self) -> None:
        read_end, write_end = os.pipe()
        width, height = self.screen
        self._spawn(["Xvfb", "-displayfd", str(write_end), "-screen", "0", f"{width}x{height}x24",
                     "-nolisten", "tcp", "-noreset"],
                    pass_fds=(write_end,), stdout=subprocess.DEVNULL,
                    stderr=open(os.path.join(self._tmp, "xvfb.log"), "wb"))
        os.close(write_end)
        try:
            self.display = ":" + self._read_line_from(read_end, "Xvfb", 10 * self.scale)
        finally:
            os.close(read_end)
        self._x = xdisplay.Display(self.display)
        # The program's answers to pings (see _x_barrier) go to the root window.
        self._x.screen().root.change_attributes(event_mask=X.StructureNotifyMask)

    def _start_session_bus(self) -> None:
        # Services the bus starts (the accessibility bus launcher) inherit its
        # environment: the private runtime folder keeps their sockets apart from
        # other harnesses' (the launcher's falls back to ~/.cache/at-spi).
        proc = self._spawn(["dbus-daemon", "--session", "--nofork", "--print-address=1"],
                           env=self._private_environment(), stdout=subprocess.PIPE,
                           stderr=open(os.path.join(self._tmp, "dbus.log"), "wb"))
        self.session_bus_address = self._read_line_from(proc.stdout.fileno(), "dbus-daemon",
                                                        10 * self.scale)
        self._session = dbus.bus.BusConnection(self.session_bus_address)

    def _private_environment(self) -> dict[str, str]:
        """This process's environment with the private display, home and XDG
        folders in place of the caller's."""
        home = os.path.join(self._tmp, "home")
        runtime = os.path.join(self._tmp, "runtime")
        for folder in (home, runtime):
            os.makedirs(folder, mode=0o700, exist_ok=True)
        env = {k: v for k, v in os.environ.items()
               if not k.startswith(("QT_", "XDG_", "DBUS_", "AT_SPI"))}
        env.update({
            "DISPLAY": self.display,
            "HOME": home,
            "XDG_RUNTIME_DIR": runtime,
            "XDG_DATA_HOME": os.path.join(home, ".local", "share"),
            "XDG_CONFIG_HOME": os.path.join(home, ".config"),
            "XDG_CACHE_HOME": os.path.join(home, ".cache"),
        })
        return env

    def _program_environment(self) -> dict[str, str]:
        env = self._private_environment()
        env.update({
            "DBUS_SESSION_BUS_ADDRESS": self.session_bus_address,
            "QT_QPA_PLATFORM": "xcb",
            # The generic theme gives Qt's own file dialog, the same on every machine.
            "QT_QPA_PLATFORMTHEME": "generic",
            "QT_ACCESSIBILITY": "1",
            "QT_LINUX_ACCESSIBILITY_ALWAYS_ON": "1",
            "LC_ALL": "C.UTF-8",
        })
        return env

    def _start_program(self) -> None:
        self.stderr_path = os.path.join(self._tmp, "stderr.txt")
        self.stdout_path = os.path.join(self._tmp, "stdout.txt")
        self._program = self._spawn([self.program], env=self._program_environment(),
                                    cwd=self._tmp, stdout=open(self.stdout_path, "wb"),
                                    stderr=open(self.stderr_path, "wb"))

    def _attach(self, timeout: float) -> None:
        deadline = time.monotonic() + timeout
        last_error: Optional[Exception] = None
        while time.monotonic() < deadline:
            self._check_alive("start")
            try:
                if self._a11y is None:
                    address = self._session.get_object("org.a11y.Bus", "/org/a11y/bus").GetAddress(
                        dbus_interface="org.a11y.Bus", timeout=5)
                    self._a11y = dbus.bus.BusConnection(str(address))
                app = self._find_application()
                if app and self._window(app, "main", required=False):
                    self._app = app
                    self._resolve_names("main")
                    self.wait_idle(step="start")
                    return
            except dbus.DBusException as error:
                last_error = error
            time.sleep(0.05)
        raise StepTimeout(f"start: the main window did not appear within {timeout:.0f} s"
                          f" ({last_error})")

    def _find_application(self) -> Optional[_Accessible]:
        root = _Accessible(self, "org.a11y.atspi.Registry", "/org/a11y/atspi/accessible/root")
        for app in root.children():
            try:
                pid = self._a11y.get_object("org.freedesktop.DBus", "/org/freedesktop/DBus") \
                    .GetConnectionUnixProcessID(app.bus_name, dbus_interface="org.freedesktop.DBus")
            except dbus.DBusException:
                continue
            if int(pid) == self._program.pid:
                return app
        return None

    def stop(self, timeout: float = 10) -> None:
        """Ends the program (if still running) and every helper process."""
        if self._program is not None and self._program.poll() is None:
            self._program.terminate()
            try:
                self._program.wait(timeout * self.scale)
            except subprocess.TimeoutExpired:
                self._program.kill()
        if self._program is not None and self.exit_status is None:
            self.exit_status = self._program.poll()
        for proc in reversed(self._procs):
            if proc.poll() is None:
                proc.terminate()
        for proc in reversed(self._procs):
            try:
                proc.wait(5)
            except subprocess.TimeoutExpired:
                proc.kill()
                proc.wait()
        # Whatever D-Bus activated is a descendant too (see _become_subreaper);
        # killed ones stay in /proc until reaped.
        deadline = time.monotonic() + 5
        while True:
            self._reap()
            left = _descendants(os.getpid())
            if not left or time.monotonic() > deadline:
                break
            for pid in left:
                try:
                    os.kill(pid, signal.SIGKILL)
                except ProcessLookupError:
                    pass
            time.sleep(0.01)
        if self._x is not None:
            try:
                self._x.close()
            except Exception:
                pass
            self._x = None
        for proc in self._procs:
            for stream in (proc.stdout, proc.stderr):
                if stream:
                    stream.close()
        self._procs.clear()
        if self._tmp and not os.environ.get("TRAPEZOLA_E2E_KEEP"):
            shutil.rmtree(self._tmp, ignore_errors=True)

    @staticmethod
    def _reap() -> None:
        while True:
            try:
                pid, _ = os.waitpid(-1, os.WNOHANG)
            except ChildProcessError:
                return
            if pid == 0:
                return

    def close_main_window(self, timeout: float = 15) -> int:
        """Closes the main window as the window manager's close button would
        (WM_DELETE_WINDOW) and returns the program's exit status."""
        self._check_error_box("close")
        window = self._x_window(MAIN_WINDOW_TITLE)
        atoms = self._x.intern_atom("WM_PROTOCOLS"), self._x.intern_atom("WM_DELETE_WINDOW")
        message = xprotocol.event.ClientMessage(
            window=window, client_type=atoms[0], data=(32, [atoms[1], X.CurrentTime, 0, 0, 0]))
        window.send_event(message, event_mask=X.NoEventMask)
        self._x.sync()
        try:
            self.exit_status = self._program.wait(timeout * self.scale)
        except subprocess.TimeoutExpired:
            raise StepTimeout(f"close: the program did not end within {timeout * self.scale:.0f} s "
                              "of closing its main window") from None
        return self.exit_status

    def quit_by_shortcut(self, timeout: float = 15) -> int:
        """Presses Ctrl+Q where the keyboard focus is (a control of the main
        window) and returns the program's exit status."""
        self._check_error_box("quit")
        self._xdotool("key", "ctrl+q")
        try:
            self.exit_status = self._program.wait(timeout * self.scale)
        except subprocess.TimeoutExpired:
            raise StepTimeout(f"quit: the program did not end within {timeout * self.scale:.0f} s "
                              "of Ctrl+Q") from None
        return self.exit_status

    # ------------------------------------------------------------- process state

    def alive(self) -> bool:
        return self._program is not None and self._program.poll() is None

    def _check_alive(self, step: str) -> None:
        if self._program is not None and self._program.poll() is not None:
            self.exit_status = self._program.returncode
            raise ProgramDied(f"{step}: the program ended with status {self.exit_status}\n"
                              f"--- stderr ---\n{self.stderr()}--- stdout ---\n{self.stdout()}")

    def assert_alive(self, step: str = "check") -> None:
        self._check_alive(step)

    def stderr(self) -> str:
        try:
            with open(self.stderr_path, encoding="utf-8", errors="replace") as f:
                return f.read()
        except (OSError, AttributeError):
            return ""

    def stdout(self) -> str:
        try:
            with open(self.stdout_path, encoding="utf-8", errors="replace") as f:
                return f.read()
        except (OSError, AttributeError):
            return ""

    def sanitizer_reports(self) -> list[str]:
        """The lines of standard error where a sanitizer reported a fault."""
        return [line for line in self.stderr().splitlines() if SANITIZER_REPORT.search(line)]

    @property
    def data_dir(self) -> str:
        """The program's application data folder (where the lg(Tr) file goes)."""
        return os.path.join(self._tmp, "home", ".local", "share", "Trapezola")

    @property
    def work_dir(self) -> str:
        """A private folder that stop() removes; the program's working folder."""
        return self._tmp

    # --------------------------------------------------------------------- idle

    def wait_idle(self, timeout: float = 10, step: str = "wait", run_may_go: bool = False) -> None:
        """Returns once the program has handled all input sent so far and,
        unless run_may_go, no run is going; raises StepTimeout if it is still
        busy after `timeout` (scaled) seconds."""
        limit = timeout * self.scale
        deadline = time.monotonic() + limit
        # Input events reach the program over the X connection and the probes
        # over D-Bus. The ping comes back only once the program has read every
        # X event sent before it, the gesture's among them; the second probe is
        # answered only after whatever the first one overtook.
        self._x_barrier(deadline, step, limit)
        answered = 0
        while answered < 2:
            self._check_alive(step)
            remaining = deadline - time.monotonic()
            if remaining <= 0:
                raise StepTimeout(f"{step}: the program was still busy after {limit:.1f} s")
            try:
                self._app._call(ACCESSIBLE, "GetRoleName",
                                timeout=min(remaining, 1.0))
                answered += 1
                if answered < 2:
                    time.sleep(0.01)
            except dbus.DBusException as error:
                if "NoReply" not in error.get_dbus_name() and "Timeout" not in str(error):
                    self._check_alive(step)
                    raise
        self._check_alive(step)
        if not run_may_go:
            self.wait_run_end(deadline, step, limit)

    def running(self) -> bool:
        """True while an orbit run goes: the go button reads "stop"."""
        return self.text("Button1") == "stop"

    def wait_run_end(self, deadline: float, step: str, limit: float) -> None:
        while self.running():
            if time.monotonic() > deadline:
                raise StepTimeout(f"{step}: the program was still busy after {limit:.1f} s")
            time.sleep(0.005)

    def _x_barrier(self, deadline: float, step: str, limit: float) -> None:
        """Pings the main window as a window manager does (_NET_WM_PING) and
        waits for the answer: X events reach the program in order, so every
        event sent before the ping has then been read by it."""
        if self._main_x_window is None:
            self._main_x_window = self._x_window(MAIN_WINDOW_TITLE)
        self._ping_token = (self._ping_token + 1) & 0x7FFFFFFF
        protocols = self._x.intern_atom("WM_PROTOCOLS")
        ping = self._x.intern_atom("_NET_WM_PING")
        window = self._main_x_window
        window.send_event(xprotocol.event.ClientMessage(
            window=window, client_type=protocols,
            data=(32, [ping, self._ping_token, window.id, 0, 0])), event_mask=X.NoEventMask)
        self._x.flush()
        while True:
            while self._x.pending_events():
                event = self._x.next_event()
                if (event.type == X.ClientMessage and event.client_type == protocols and
                        list(event.data[1][:2]) == [ping, self._ping_token]):
                    return
            self._check_alive(step)
            if time.monotonic() > deadline:
                raise StepTimeout(f"{step}: the program was still busy after {limit:.1f} s")
            time.sleep(0.002)

    # -------------------------------------------------------- windows and names

    def _window(self, app: _Accessible, window: str, required: bool = True) -> Optional[_Accessible]:
        title = WINDOW_TITLES[window]
        for child in app.children():
            if child.name() == title:
                return child
        if required:
            raise HarnessError(f"no {window} window ({title!r})")
        return None

    def window_visible(self, window: str = "lyapunov") -> bool:
        top = self._window(self._app, window, required=False)
        return bool(top and top.has_state(STATE_SHOWING))

    def window_rect(self, window: str = "main") -> Rect:
        return self._window(self._app, window).extents()

    def _resolve_names(self, window: str) -> None:
        """Finds every control of a window by the layout name that the program
        publishes as its accessible description. A named control's own parts
        (the items of a combo box) are not searched."""
        found: dict[str, _Accessible] = {}
        todo = self._window(self._app, window).children()
        while todo:
            child = todo.pop()
            name = child.description()
            if not name:
                todo += child.children()
            elif name in found:
                raise HarnessError(f"the {window} window has two controls named {name!r}")
            else:
                found[name] = child
        if not found:
            raise HarnessError(f"the {window} window publishes no control names")
        self._names[window] = set(found)
        for name, control in found.items():
            self._controls[(window, name)] = control

    def _control(self, name: str, window: str) -> _Accessible:
        if window not in WINDOW_TITLES:
            raise HarnessError(f"unknown window {window!r}: use 'main' or 'lyapunov'")
        if (window, name) not in self._controls:
            self._resolve_names(window)
        if (window, name) not in self._controls:
            raise HarnessError(f"the {window} window has no control {name!r}; it has "
                               f"{', '.join(sorted(self._names[window]))}")
        return self._controls[(window, name)]

    def rect(self, name: str, window: str = "main") -> Rect:
        """Screen rectangle of a control."""
        return self._control(name, window).extents()

    # ------------------------------------------------------------------ reading

    def text(self, name: str, window: str = "main") -> str:
        """What a control shows: a label's or button's caption, an edit's or a
        combo box's text, a check box's caption."""
        self._check_alive(f"text({name})")
        control = self._control(name, window)
        role = control.role()
        if role == "text":
            return control.text()
        if role == "combo box":
            for child in control.children():
                if child.role() == "text":
                    return child.text()
        return control.name()

    def value(self, name: str, window: str = "main") -> float:
        """Position of a track bar (or a progress bar)."""
        return self._control(name, window).value()

    def checked(self, name: str, window: str = "main") -> bool:
        return self._control(name, window).has_state(STATE_CHECKED)

    def focused(self, name: str, window: str = "main") -> bool:
        return self._control(name, window).has_state(STATE_FOCUSED)

    def screenshot(self, rect: Rect) -> Image:
        """The screen's pixels in `rect` (screen coordinates)."""
        self._x.sync()
        raw = self._x.screen().root.get_image(rect.x, rect.y, rect.width, rect.height,
                                              X.ZPixmap, 0xFFFFFFFF)
        return Image(rect.width, rect.height, raw.data)

    def portrait(self) -> Image:
        """The phase portrait faziskep as shown, in its own pixel coordinates.
        Fails if another window of the program covers part of it."""
        area = self.rect("faziskep")
        for window in ("lyapunov",):
            top = self._window(self._app, window, required=False)
            if top and top.has_state(STATE_SHOWING) and top.extents().intersects(area):
                raise HarnessError("portrait: the Lyapunov window covers part of the portrait; "
                                   "move it aside first (move_window_aside())")
        box = self.error_box()
        if box is not None:
            raise UnexpectedErrorBox(box, "portrait")
        return self.screenshot(area)

    def sketch(self) -> Image:
        """The table sketch vazlat as shown."""
        return self.screenshot(self.rect("vazlat"))

    # --------------------------------------------------------------- error boxes

    def _dialogs(self) -> list[_Accessible]:
        titles = set(WINDOW_TITLES.values())
        tops = []
        for child in self._app.children():
            try:
                if child.name() not in titles and child.has_state(STATE_SHOWING):
                    tops.append(child)
            except dbus.DBusException as error:
                # A box that closed between the listing and the question.
                if not _vanished(error):
                    raise
        return tops

    def dialogs(self) -> list[tuple[str, str]]:
        """(role, title) of every other window of the program on screen: error
        boxes ("alert message"), the file dialog, the colour picker's dialog."""
        return [(top.role(), top.name()) for top in self._dialogs()]

    def windows(self) -> list[tuple[str, str, bool, bool]]:
        """(role, title, showing, active) of every top-level window of the
        program, hidden ones too: what a failure report shows."""
        return [(top.role(), top.name(), top.has_state(STATE_SHOWING),
                 self._has_active_state(top)) for top in self._app.children()]

    def close_dialog(self, timeout: float = 5) -> None:
        """Closes the topmost dialog with Escape, as a person would."""
        tops = self._dialogs()
        if not tops:
            raise HarnessError("close_dialog: no dialog is open")
        self._focus_window(tops[-1])
        self._xdotool("key", "Escape")
        deadline = time.monotonic() + timeout * self.scale
        while tops[-1] in self._dialogs():
            if time.monotonic() > deadline:
                raise StepTimeout(f"close_dialog: {tops[-1].name()!r} is still open")
            time.sleep(0.02)
        self.wait_idle(timeout, step="close_dialog")

    def _error_box_accessible(self) -> Optional[_Accessible]:
        for top in self._dialogs():
            try:
                if top.role() in ("alert", "alert message"):
                    return top
            except dbus.DBusException as error:
                if not _vanished(error):
                    raise
        return None

    def error_box(self) -> Optional[str]:
        """The message of the open error box, or None."""
        box = self._error_box_accessible()
        if box is None:
            return None
        try:
            texts = [c.name() for c in box.children() if c.role() == "label" and c.name()]
        except dbus.DBusException as error:
            if not _vanished(error):
                raise
            return None
        return "\n".join(texts)

    def dismiss_error_box(self, how: str = "key", timeout: float = 5) -> str:
        """Closes the open error box as a person would ("key": Return; "click":
        its OK button) and returns its message."""
        box = self._error_box_accessible()
        if box is None:
            raise HarnessError("dismiss_error_box: no error box is open")
        text = self.error_box() or ""
        if how == "click":
            buttons = box.descendants("push button")
            if not buttons:
                raise HarnessError("dismiss_error_box: the box has no button")
            self._click_at(*buttons[0].extents().centre())
        else:
            self._focus_window(box)
            self._xdotool("key", "Return")
        deadline = time.monotonic() + timeout * self.scale
        while self._error_box_accessible() is not None:
            if time.monotonic() > deadline:
                raise StepTimeout(f"dismiss_error_box: the box {text!r} is still open")
            time.sleep(0.02)
        self.wait_idle(step="dismiss_error_box")
        return text

    def expect_error(self, timeout: float = 5, dismiss: bool = True) -> str:
        """Waits for an error box, returns its message, and closes it."""
        deadline = time.monotonic() + timeout * self.scale
        while True:
            self.wait_idle(step="expect_error")
            text = self.error_box()
            if text is not None:
                return self.dismiss_error_box() if dismiss else text
            if time.monotonic() > deadline:
                raise HarnessError("expect_error: no error box appeared")
            time.sleep(0.05)

    def _check_error_box(self, step: str) -> None:
        text = self.error_box()
        if text is not None:
            raise UnexpectedErrorBox(text, step)

    # --------------------------------------------------------------------- menus

    def menu_item(self, *path: str) -> _Accessible:
        """A menu item of the main window's menu bar by its captions, e.g.
        ("File", "Save portrait..."), found over the accessibility bus."""
        top = self._window(self._app, "main")
        bars = [c for c in top.children() if c.role() == "menu bar"]
        if not bars:
            raise HarnessError("the main window has no menu bar")
        node, found = bars[0], None
        for caption in path:
            found = None
            candidates = node.children()
            while candidates and found is None:
                child = candidates.pop(0)
                if child.role() == "menu item" and child.name() == caption:
                    found = child
                elif child.role() == "popup menu":
                    candidates += child.children()
            if found is None:
                raise HarnessError(f"no menu item {' > '.join(path)}")
            node = found
        return node

    def menu_enabled(self, *path: str) -> bool:
        return self.menu_item(*path).has_state(STATE_ENABLED)

    def choose_menu(self, *path: str, timeout: float = 10, run_may_go: bool = False) -> None:
        """Chooses a menu item over the accessibility bus, as a screen reader
        would, then waits for idle. An item that opens a dialog returns with
        the dialog open: the call does not wait for the item's handler."""
        step = f"choose_menu({' > '.join(path)})"
        self._before_gesture(step)
        item = self.menu_item(*path)
        obj = self._a11y.get_object(item.bus_name, item.path, introspect=False)
        obj.DoAction(0, dbus_interface="org.a11y.atspi.Action", ignore_reply=True)
        self.wait_idle(timeout, step=step, run_may_go=run_may_go)

    # -------------------------------------------------------------- file dialog

    @staticmethod
    def _is_file_dialog(top: _Accessible) -> bool:
        # Qt's own file dialog: a dialog with a "File name:" edit.
        return top.role() in ("dialog", "file chooser") and any(
            c.role() == "text" and c.name() == "File name:" for c in top.children())

    def file_dialog(self) -> Optional[_Accessible]:
        for top in self._dialogs():
            if self._is_file_dialog(top):
                return top
        return None

    def file_dialog_open(self) -> bool:
        return self.file_dialog() is not None

    def choose_file(self, path: str, timeout: float = 10) -> None:
        """Types `path` into the open file dialog and accepts it."""
        dialog = self._wait_for_file_dialog(timeout)
        self._focus_window(dialog)
        self._xdotool("key", "ctrl+a")
        self._xdotool("type", "--delay", "2", "--", path)
        self._xdotool("key", "Return")
        self._wait_file_dialog_closed("choose_file", timeout)

    def cancel_file_dialog(self, timeout: float = 10) -> None:
        dialog = self._wait_for_file_dialog(timeout)
        self._focus_window(dialog)
        self._xdotool("key", "Escape")
        self._wait_file_dialog_closed("cancel_file_dialog", timeout)

    def _wait_for_file_dialog(self, timeout: float) -> _Accessible:
        deadline = time.monotonic() + timeout * self.scale
        while True:
            self.wait_idle(step="file dialog")
            dialog = self.file_dialog()
            if dialog is not None:
                return dialog
            if time.monotonic() > deadline:
                raise HarnessError("file dialog: no file dialog is open")
            time.sleep(0.05)

    def _wait_file_dialog_closed(self, step: str, timeout: float) -> None:
        deadline = time.monotonic() + timeout * self.scale
        while True:
            try:
                if self.file_dialog() is None:
                    break
            except dbus.DBusException as error:
                # The program is busy with the file the dialog chose (writing or
                # reading a picture) and does not answer yet: ask again, as
                # wait_idle does, until the step's deadline.
                if "NoReply" not in error.get_dbus_name() and "Timeout" not in str(error):
                    raise
                self._check_alive(step)
            if time.monotonic() > deadline:
                raise StepTimeout(f"{step}: the file dialog is still open")
            time.sleep(0.02)
        self.wait_idle(timeout, step=step)

    # ----------------------------------------------------------- raw X gestures

    def _xdotool(self, *args: str) -> None:
        argv = ["xdotool", *args]
        env = dict(os.environ, DISPLAY=self.display)
        try:
            done = subprocess.run(argv, env=env, stdin=subprocess.DEVNULL, capture_output=True,
                                  timeout=10 * self.scale)
        except subprocess.TimeoutExpired:
            raise StepTimeout(f"xdotool {' '.join(args)} did not finish") from None
        if done.returncode != 0:
            raise HarnessError(f"xdotool {' '.join(args)}: {done.stderr.decode().strip()}")
        if self._log:
            self._log("xdotool " + " ".join(args))
        # A round trip to the server: xdotool's events have now been delivered.
        self._x.sync()

    def _x_window(self, title: str):
        def search(window):
            try:
                if window.get_wm_name() == title:
                    return window
                for child in window.query_tree().children:
                    hit = search(child)
                    if hit is not None:
                        return hit
            except Exception:
                return None
            return None
        window = search(self._x.screen().root)
        if window is None:
            raise HarnessError(f"no X window titled {title!r}")
        return window

    def _activate(self, window: str) -> None:
        """Makes `window` the active one, as a click-to-focus window manager
        does when a person clicks into it; keys then go to that window."""
        top = self._window(self._app, window)
        if self._has_active_state(top):
            return
        self._focus_window(top)
        deadline = time.monotonic() + 2 * self.scale
        next_try = time.monotonic() + 0.25
        while not self._has_active_state(top):
            now = time.monotonic()
            if now > deadline:
                raise StepTimeout(f"the {window} window did not become active")
            # The focus can be lost again before Qt activates the window (a
            # closing popup hands it back to where it came from): ask again.
            if now > next_try:
                self._focus_window(top, force=True)
                next_try = now + 0.25
            time.sleep(0.01)

    def _focus_window(self, top: _Accessible, force: bool = False) -> None:
        # Without a window manager nobody hands the keyboard to a new window,
        # except Qt itself; pointing at it and clicking its title-less edge
        # would be a gesture, so the focus is set the way a window manager does.
        if not force and (top.has_state(STATE_FOCUSED) or self._has_active_state(top)):
            return
        title = top.name()
        try:
            window = self._x_window(title)
        except HarnessError:
            return
        window.set_input_focus(X.RevertToParent, X.CurrentTime)
        self._x.sync()

    @staticmethod
    def _has_active_state(top: _Accessible) -> bool:
        return top.has_state(1)  # ATSPI_STATE_ACTIVE

    def _click_at(self, x: int, y: int, button: int = 1) -> None:
        self._xdotool("mousemove", str(x), str(y), "click", str(button))

    def _before_gesture(self, step: str) -> None:
        self._check_alive(step)
        self._check_error_box(step)

    def key(self, *keys: str, timeout: float = 10, run_may_go: bool = False) -> None:
        """Presses keys (xdotool names: "Tab", "Return", "ctrl+a") where the
        keyboard focus is, then waits for idle."""
        self._before_gesture(f"key({', '.join(keys)})")
        self._xdotool("key", "--delay", "20", *keys)
        self.wait_idle(timeout, step=f"key({', '.join(keys)})", run_may_go=run_may_go)

    def click_at(self, x: int, y: int, button: int = 1, timeout: float = 10) -> None:
        """Clicks at screen coordinates, then waits for idle."""
        self._before_gesture(f"click_at({x}, {y})")
        self._click_at(x, y, button)
        self.wait_idle(timeout, step=f"click_at({x}, {y})")

    def move_window(self, window: str, x: int, y: int) -> None:
        """Moves a window to screen position (x, y), as a person dragging it."""
        self._x_window(WINDOW_TITLES[window]).configure(x=x, y=y)
        self._x.sync()
        self.wait_idle(step=f"move_window({window})")

    def move_window_aside(self, window: str = "lyapunov") -> None:
        """Moves a window to the right of the main window, off the portrait."""
        main = self.window_rect("main")
        self.move_window(window, main.x + main.width + 8, main.y)
        if self.window_rect(window).intersects(main):
            raise HarnessError(f"move_window_aside: the screen has no room beside the main window")

    # --------------------------------------------------------- control gestures

    def click(self, name: str, window: str = "main", timeout: float = 10,
              run_may_go: bool = False) -> None:
        """Left click in the middle of a control (a button press, a check box
        toggle, focusing an edit). Waits until the program is idle again: for
        "go" pass a timeout that covers the run, or run_may_go=True."""
        step = f"click({name})"
        self._before_gesture(step)
        self._activate(window)
        self._click_at(*self.rect(name, window).centre())
        self.wait_idle(timeout, step=step, run_may_go=run_may_go)

    def type_into(self, name: str, text: str, window: str = "main", *, leave: bool = False,
                  errors: str = "raise", dismiss: "str | Callable[[], str]" = "key",
                  timeout: float = 10) -> list[str]:
        """Clicks into an edit field, selects its text and types `text` over it
        one key at a time, waiting for idle after each key, as the field's
        handlers run on every change. With leave=True, Tab then leaves the
        field. The click that focuses the field leaves the one focused before,
        whose exit handler may raise a box too: it is handled the same way.

        errors: what to do when a keystroke raises an error box:
          "raise"   fail with UnexpectedErrorBox (the box stays open);
          "dismiss" close it and go on typing: with Return, or as `dismiss`
                    says ("key", "click" or a function that returns one of
                    them for each box);
          "keep"    stop typing and leave the box open for the test.
        Returns the messages of the dismissed (or kept) boxes, in order."""
        if errors not in ("raise", "dismiss", "keep"):
            raise ValueError(errors)
        step = f"type_into({name}, {text!r})"
        self._before_gesture(step)
        self._activate(window)
        self._click_at(*self.rect(name, window).centre())
        seen: list[str] = []

        def after_key() -> bool:
            self.wait_idle(timeout, step=step)
            message = self.error_box()
            if message is None:
                return True
            if errors == "raise":
                raise UnexpectedErrorBox(message, step)
            seen.append(message)
            if errors == "keep":
                return False
            self.dismiss_error_box(dismiss() if callable(dismiss) else dismiss)
            # A window manager gives the keyboard back to the window the box
            # belonged to; without one, the next keys could reach the other
            # window's focused control.
            self._activate(window)
            return True

        # The click leaves the field that had the focus, whose exit handler may
        # have raised a box of its own.
        if not after_key():
            return seen
        # Typing over the selection changes the text once per key; emptying the
        # field first would add a change to "" that the live handlers reject.
        self._xdotool("key", "ctrl+a")
        if not after_key():
            return seen
        if text == "":
            self._xdotool("key", "BackSpace")
            if not after_key():
                return seen
        for ch in text:
            self._xdotool("type", "--delay", "0", "--", ch)
            if not after_key():
                return seen
        if leave:
            self._xdotool("key", "Tab")
            after_key()
        return seen

    def set_check(self, name: str, checked: bool, window: str = "main") -> None:
        if self.checked(name, window) != checked:
            self.click(name, window)
        if self.checked(name, window) != checked:
            raise HarnessError(f"set_check({name}): the box did not change")

    def combo_items(self, name: str, window: str = "main") -> list[str]:
        """The texts of a combo box's items, in order."""
        return [item.name() for item in self._control(name, window).descendants("list item")]

    def select_combo(self, name: str, index: int, window: str = "main", timeout: float = 10) -> None:
        """Picks item `index` of a combo box with the keyboard: a click focuses
        it (Escape closes a list the click opened), then Up or Down step from
        the shown item to the wanted one, choosing each item on the way."""
        step = f"select_combo({name}, {index})"
        self._before_gesture(step)
        items = [item.name() for item in self._control(name, window).descendants("list item")]
        if not 0 <= index < len(items):
            raise HarnessError(f"{step}: the box has {len(items)} items")
        self._activate(window)
        self._click_at(*self.rect(name, window).centre())
        self.wait_idle(timeout, step=step)
        self._check_error_box(step)  # leaving the focused field may raise one
        self._xdotool("key", "Escape")
        if self.text(name, window) not in items:
            # Text typed over an editable box: its current item may be the
            # wanted one, and a step to the item it is on changes nothing. Step
            # to the first item by way of the second, so that the box shows an
            # item's own text again, as a person would pick from the list.
            for key, count in (("Up", len(items)), ("Down", 1), ("Up", 1)):
                self._xdotool("key", "--delay", "0", "--repeat", str(count), key)
                self.wait_idle(timeout, step=step)
                self._check_error_box(step)
                if self._dialogs():
                    return
        for _ in range(3):
            shown = self.text(name, window)
            if shown == items[index]:
                return
            current = items.index(shown) if shown in items else -1
            key = "Down" if index > current else "Up"
            self._xdotool("key", "--delay", "0", "--repeat", str(abs(index - current)), key)
            self.wait_idle(timeout, step=step)
            self._check_error_box(step)
            if self._dialogs():
                return  # "Custom..." of the colour box opens the colour picker
        # A box with no item chosen (kovetes at start) shows a text but has no
        # index: its first Down takes item 0, whatever the text said.
        if self.text(name, window) != items[index]:
            raise HarnessError(f"{step}: the box shows {self.text(name, window)!r}, "
                               f"not {items[index]!r}")

    def set_track_bar(self, name: str, position: int, window: str = "main",
                      timeout: float = 20) -> None:
        """Moves a track bar to `position` with the keyboard, after a click
        gives it the focus (the click itself may move it by a page)."""
        step = f"set_track_bar({name}, {position})"
        self._before_gesture(step)
        self._activate(window)
        self._click_at(*self.rect(name, window).centre())
        self.wait_idle(timeout, step=step)
        self._check_error_box(step)  # leaving the focused field may raise one
        current = round(self.value(name, window))
        if current == position:
            return
        # Which arrow raises the position depends on orientation and inversion,
        # and at either end only one of a pair moves the bar: learn it by trying.
        raise_key = lower_key = None
        for key, opposite in (("Right", "Left"), ("Left", "Right"), ("Up", "Down"),
                              ("Down", "Up")):
            self._xdotool("key", key)
            self.wait_idle(timeout, step=step)
            after = round(self.value(name, window))
            if after != current:
                raise_key, lower_key = (key, opposite) if after > current else (opposite, key)
                current = after
                break
        if raise_key is None:
            raise HarnessError(f"{step}: no arrow key moves the track bar")
        for _ in range(3):
            if current == position:
                return
            self._xdotool("key", "--delay", "0", "--repeat", str(abs(position - current)),
                          raise_key if position > current else lower_key)
            self.wait_idle(timeout, step=step)
            current = round(self.value(name, window))
        if current != position:
            raise HarnessError(f"{step}: the track bar stands at {current}")

    # --------------------------------------------------------- portrait gestures

    def portrait_to_screen(self, x: int, y: int) -> tuple[int, int]:
        area = self.rect("faziskep")
        return area.x + x, area.y + y

    def mouse_move_portrait(self, x: int, y: int, timeout: float = 10) -> None:
        """Moves the pointer to pixel (x, y) of the portrait."""
        step = f"mouse_move_portrait({x}, {y})"
        self._before_gesture(step)
        self._activate("main")
        sx, sy = self.portrait_to_screen(x, y)
        self._xdotool("mousemove", str(sx), str(sy))
        self.wait_idle(timeout, step=step)

    def click_portrait(self, x: int, y: int, button: int = 1, timeout: float = 10) -> None:
        """Moves to (x, y) and clicks there (1 left, 2 middle, 3 right)."""
        step = f"click_portrait({x}, {y}, button={button})"
        self._before_gesture(step)
        self._activate("main")
        sx, sy = self.portrait_to_screen(x, y)
        self._xdotool("mousemove", str(sx), str(sy), "click", str(button))
        self.wait_idle(timeout, step=step)

    def right_click_portrait(self, x: int, y: int, timeout: float = 30) -> None:
        """A right click: the periodic-orbit analysis of the hovered point."""
        self.click_portrait(x, y, button=3, timeout=timeout)

    def double_click_portrait(self, x: int, y: int, timeout: float = 60) -> None:
        """A left double click: the click's forecast, then a run from there."""
        step = f"double_click_portrait({x}, {y})"
        self._before_gesture(step)
        self._activate("main")
        sx, sy = self.portrait_to_screen(x, y)
        self._xdotool("mousemove", str(sx), str(sy),
                      "click", "--repeat", "2", "--delay", "60", "1")
        self.wait_idle(timeout, step=step)

    def right_drag(self, x1: int, y1: int, x2: int, y2: int, steps: int = 4,
                   timeout: float = 60) -> None:
        """Right-button drag in the portrait from (x1, y1) to (x2, y2): the zoom."""
        self.drag_portrait(x1, y1, x2, y2, button=3, steps=steps, timeout=timeout)

    def drag_portrait(self, x1: int, y1: int, x2: int, y2: int, button: int = 1,
                      steps: int = 4, timeout: float = 60) -> None:
        step = f"drag_portrait({x1}, {y1} -> {x2}, {y2}, button={button})"
        self._before_gesture(step)
        self._activate("main")
        sx1, sy1 = self.portrait_to_screen(x1, y1)
        sx2, sy2 = self.portrait_to_screen(x2, y2)
        chain = ["mousemove", str(sx1), str(sy1), "mousedown", str(button)]
        for i in range(1, steps + 1):
            chain += ["mousemove", str(sx1 + (sx2 - sx1) * i // steps),
                      str(sy1 + (sy2 - sy1) * i // steps)]
        chain += ["mouseup", str(button)]
        self._xdotool(*chain)
        self.wait_idle(timeout, step=step)


def run_tests(argv: Optional[list[str]] = None) -> None:
    """unittest.main for an end-to-end test file: accepts --program PATH (or
    TRAPEZOLA_PROGRAM) and hands the other arguments to unittest."""
    import unittest
    argv = list(sys.argv if argv is None else argv)
    program = program_from_command_line(argv)
    if program:
        os.environ["TRAPEZOLA_PROGRAM"] = program
        i = argv.index("--program") if "--program" in argv else None
        argv = [a for j, a in enumerate(argv)
                if not a.startswith("--program=") and j != i and (i is None or j != i + 1)]
    unittest.main(argv=argv, verbosity=2)
