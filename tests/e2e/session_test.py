"""A person's session with the real window, step by step, checked against
trapezola-cli, which computes the same orbits without a window.

Every step compares what the window shows with what the command-line tool
predicts for the same numbers: the geometry texts with `table`, the dots of a
run with `orbit` (mapped to pixels as the portrait maps them), the analysis and
the lg(Tr) data file with `analyse`, and a loaded picture with the file that
`render --out-dir` wrote.

Exact phase points. The pointer read-out turns a pixel into (s, phi) with
s = sMin + (X - 6) / scaleS and phi = phiMax - (Y - 9) / scalePhi. Over the whole
window, row 342 gives phi = pi/2 exactly, which the tool's --angle 90 gives too;
s is passed to the tool with 17 digits. Tool and window then start from the
same doubles and, sharing the billiard code, compute the same bounces bit for
bit, so orbits, periods and label texts can be compared exactly, even on
chaotic orbits.

Table used throughout: b = 0.5, R8/R = 2, start 1 along the perimeter at 45
degrees, few bounces per pass so that the sanitizer build keeps up.
"""

import json
import math
import os
import re
import struct
import subprocess
import sys
import tempfile
import unittest
import zlib

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from harness import Harness, Image, Rect, run_tests  # noqa: E402

B, RR, DISTANCE, ANGLE = "0.5", "2", "1", "45"
REPEAT = 2
BLACK, WHITE, RED, GREEN, BLUE = (0, 0, 0), (255, 255, 255), (255, 0, 0), (0, 255, 0), (0, 0, 255)
PLOT_AREA = Rect(6, 12, 778, 666)
PI = 3.141592653589793
# Portrait row whose read-out angle is exactly pi/2 over the whole phi range.
ROW_RIGHT_ANGLE = 342
# Default sensitivity: TrackBar1 at -50.
EPSILON = -(-50) * 0.001
# A run's go gesture covers 1000 passes; generous for the sanitizer build too
# (the harness scales every timeout there).
RUN_TIMEOUT = 60


# ------------------------------------------------------------------ the tool

def cli_path(program: str) -> str:
    """trapezola-cli of the same build as the program (<build>/cli)."""
    build = os.path.dirname(os.path.dirname(os.path.abspath(program)))
    path = os.path.join(build, "cli", "trapezola-cli")
    if not os.access(path, os.X_OK):
        raise AssertionError(f"no trapezola-cli beside the program: {path}")
    return path


def cli(h: Harness, *args: str) -> str:
    done = subprocess.run([cli_path(h.program), *args], capture_output=True, text=True,
                          timeout=120 * h.scale)
    if done.returncode != 0:
        raise AssertionError(f"trapezola-cli {' '.join(args)}: {done.stderr}")
    return done.stdout


def table(h: Harness, b: str = B, rr: str = RR) -> dict:
    return json.loads(cli(h, "table", "--b", b, "--rr", rr))


def orbit(h: Harness, distance: str, angle: str, bounces: int, b: str = B,
          rr: str = RR) -> list[tuple[float, float, float, float]]:
    """(s, phi, x, y) of bounces 0 (the start) to `bounces`."""
    rows = cli(h, "orbit", "--b", b, "--rr", rr, "--distance", distance, "--angle", angle,
               "--bounces", str(bounces)).splitlines()[1:]
    out = []
    for row in rows:
        _, s, phi, _, x, y, _ = row.split(",")
        out.append((float(s), float(phi), float(x), float(y)))
    return out


# ------------------------------------------------------------- number texts

def general(value: float, precision: int) -> str:
    """FloatToStrF(value, ffGeneral, precision, d) for values shown in fixed
    notation (at most `precision` digits before the point, magnitude 1e-5 or more)."""
    if value == 0:
        return "0"
    if not (1e-5 <= abs(value) < 10 ** precision):
        raise ValueError(f"{value!r} would be shown in scientific notation")
    digits_before = math.floor(math.log10(abs(value))) + 1
    text = f"{value:.{max(precision - digits_before, 0)}f}"
    if "." in text:
        text = text.rstrip("0").rstrip(".")
    # Rounding may carry into a new leading digit (9.9999999 -> 10.000000).
    if len(text.replace("-", "").replace(".", "").lstrip("0")) > precision:
        text = f"{float(text):.{max(precision - digits_before - 1, 0)}f}"
        if "." in text:
            text = text.rstrip("0").rstrip(".")
    return text


def exponent7(value: float) -> str:
    """FloatToStrF(value, ffExponent, 7, 7): 7 significant digits, E, sign, four digits."""
    mantissa, exp = f"{value:.6E}".split("E")
    return f"{mantissa}E{exp[0]}{int(exp[1:]):04d}"


# ------------------------------------------------------------------ pixels

class Window:
    """The phase window and the pixel mappings of the portrait."""

    def __init__(self, s_min: float, s_max: float, phi_min: float, phi_max: float):
        self.s_min, self.s_max, self.phi_min, self.phi_max = s_min, s_max, phi_min, phi_max
        self.scale_s = 778 / (s_max - s_min)
        self.scale_phi = 666 / (phi_max - phi_min)

    def phase(self, x: int, y: int) -> tuple[float, float]:
        """The read-out's (s, phi) of a pixel."""
        return self.s_min + (x - 6) / self.scale_s, self.phi_max - (y - 9) / self.scale_phi

    def dot(self, s: float, phi: float) -> set[tuple[int, int]]:
        """Pixels of the 2-pixel dot of a bounce ("small"), none outside the window.
        The dot's box runs right of and above the mapped pixel."""
        if not (self.s_min < s < self.s_max and self.phi_min < phi < self.phi_max):
            return set()
        x = math.trunc((s - self.s_min) * self.scale_s + 6)
        y = math.trunc(678 - (phi - self.phi_min) * self.scale_phi)
        return {(x, y - 2), (x + 1, y - 2), (x, y - 1), (x + 1, y - 1)}

    def dots(self, bounces) -> set[tuple[int, int]]:
        pixels: set[tuple[int, int]] = set()
        for s, phi, *_ in bounces:
            pixels |= self.dot(s, phi)
        return pixels


def pixels_of(image: Image, colour: tuple[int, int, int], region: Rect = PLOT_AREA) -> set:
    return {(x, y) for y in range(region.y, region.y + region.height)
            for x in range(region.x, region.x + region.width) if image.pixel(x, y) == colour}


def differing_pixels(a: Image, b: Image) -> list[tuple[int, int]]:
    return [(x, y) for y in range(a.height) for x in range(a.width) if a.pixel(x, y) != b.pixel(x, y)]


def read_png(path: str) -> Image:
    """The pixels of an 8-bit RGB or RGBA, non-interlaced PNG (what Qt writes)."""
    with open(path, "rb") as f:
        data = f.read()
    assert data[:8] == b"\x89PNG\r\n\x1a\n", path
    pos, idat, header = 8, b"", None
    while pos < len(data):
        length, kind = struct.unpack(">I4s", data[pos:pos + 8])
        body = data[pos + 8:pos + 8 + length]
        if kind == b"IHDR":
            header = struct.unpack(">IIBBBBB", body)
        elif kind == b"IDAT":
            idat += body
        pos += 12 + length
    width, height, depth, colour_type, _, _, interlace = header
    assert depth == 8 and colour_type in (2, 6) and interlace == 0, header
    channels = 3 if colour_type == 2 else 4
    raw = zlib.decompress(idat)
    stride = width * channels
    rows, previous, i = [], bytearray(stride), 0
    for _ in range(height):
        kind, line = raw[i], bytearray(raw[i + 1:i + 1 + stride])
        i += 1 + stride
        for j in range(stride):
            left = line[j - channels] if j >= channels else 0
            up = previous[j]
            corner = previous[j - channels] if j >= channels else 0
            if kind == 1:
                line[j] = (line[j] + left) & 0xFF
            elif kind == 2:
                line[j] = (line[j] + up) & 0xFF
            elif kind == 3:
                line[j] = (line[j] + (left + up) // 2) & 0xFF
            elif kind == 4:
                p = left + up - corner
                pa, pb, pc = abs(p - left), abs(p - up), abs(p - corner)
                predictor = left if pa <= pb and pa <= pc else up if pb <= pc else corner
                line[j] = (line[j] + predictor) & 0xFF
        rows.append(bytes(line))
        previous = line
    bgrx = bytearray()
    for line in rows:
        for x in range(width):
            r, g, b = line[x * channels:x * channels + 3]
            bgrx += bytes((b, g, r, 0))
    return Image(width, height, bytes(bgrx))


# --------------------------------------------------------------- gestures

def fill_table(h: Harness, distance: str = DISTANCE, angle: str = ANGLE) -> None:
    h.type_into("Edit1", B, leave=True)
    h.type_into("Edit2", RR, leave=True)
    h.type_into("Edit3", distance)
    h.type_into("Edit4", angle)
    h.type_into("Edit5", str(REPEAT))


def full_window(geometry: dict) -> Window:
    """The window of a fresh go: the whole perimeter and 0 to pi."""
    return Window(0, geometry["s4"], 0, PI)


def forecast(bounces, geometry: dict) -> int:
    """Bounces until the first one within epsilon of a corner coordinate;
    10000 when none is (the click's count)."""
    corners = [geometry[k] for k in ("s1", "s2", "s3", "s4")]
    for k, (s, *_) in enumerate(bounces[1:10001], start=1):
        if any(abs(s - c) <= EPSILON for c in corners):
            return k
    return 10000


class SessionCase(unittest.TestCase):
    def assert_dots_drawn(self, shot: Image, expected: set, allowed: set, what: str) -> None:
        """Every pixel of every expected dot is black (or overdrawn by the red
        and green grid), and no black pixel lies outside the allowed dots."""
        missing = [p for p in expected if shot.pixel(*p) not in (BLACK, RED, GREEN)]
        self.assertEqual(missing[:10], [], f"{what}: dots missing at predicted pixels "
                                           f"({len(missing)} of {len(expected)})")
        stray = sorted(pixels_of(shot, BLACK, Rect(0, 0, shot.width, shot.height)) - allowed)
        self.assertEqual(stray[:10], [], f"{what}: black pixels where no bounce lands "
                                         f"({len(stray)})")


class GoContinueHoverClickClear(SessionCase):
    def test_a_run_and_the_gestures_on_its_portrait(self):
        with Harness() as h:
            geometry = table(h)
            window = full_window(geometry)
            fill_table(h)
            h.click("Button1", timeout=RUN_TIMEOUT)

            # Texts of the run: the geometry summary, the corners, the end state.
            g5 = lambda key: general(geometry[key], 5)  # noqa: E731
            g7 = lambda key: general(geometry[key], 7)  # noqa: E731
            self.assertEqual(h.text("Label1"),
                             f"r={g5('radiusTop')}  R8={g5('radiusSide')}  R={g5('radiusBottom')}"
                             f"\n\ncorners: {g7('s1')} .. {g7('s2')} .. {g7('s3')} .. {g7('s4')})")
            corners = "".join(general(v, 7) + " " for k in ("corner1", "corner2", "corner3",
                                                              "corner4") for v in geometry[k])
            self.assertEqual(h.text("Label11"), corners)
            self.assertEqual(h.text("Label8"), "ready!")
            self.assertEqual(h.text("Button1"), "continue")
            self.assertEqual(h.value("ProgressBar1"), 1000)

            # The dots are the bounces the tool computes, where the window maps them.
            run = orbit(h, DISTANCE, ANGLE, 2 * 1000 * REPEAT)
            first = window.dots(run[1:1000 * REPEAT + 1])
            shot = h.portrait()
            self.assert_dots_drawn(shot, first, first, "go")
            self.assertGreater(shot.count_colour(RED, PLOT_AREA), 1000, "the grid")
            self.assertGreater(shot.count_colour(GREEN, PLOT_AREA), 1000, "the corner curves")

            # Continue: the orbit goes on where it stopped; the old dots stay.
            h.click("Button1", timeout=RUN_TIMEOUT)
            self.assertEqual(h.text("Button1"), "continue")
            both = window.dots(run[1:])
            self.assertGreater(len(both - first), 100, "the second run lands on new pixels")
            shot = h.portrait()
            self.assert_dots_drawn(shot, both, both, "continue")

            # Hover on the row of phi = pi/2, following 3 bounces on the sketch.
            h.select_combo("kovetes", 3)
            x = 140
            s, phi = window.phase(x, ROW_RIGHT_ANGLE)
            self.assertEqual(phi, PI / 2)
            h.mouse_move_portrait(x, ROW_RIGHT_ANGLE)
            self.assertEqual(h.text("Label8"), f"dist:  {general(s, 7)}  angle:  90")
            hovered = orbit(h, repr(s), "90", 10001)
            _, _, bx, by = hovered[0]
            readout = h.text("Label9").split("     y: ")
            self.assertEqual(len(readout), 2, h.text("Label9"))
            self.assertAlmostEqual(float(readout[0].removeprefix("x: ")), bx, delta=1e-6)
            self.assertAlmostEqual(float(readout[1]), by, delta=1e-6)
            # The sketch: the blue marker at the hovered boundary point and the
            # blue path through the first three bounce points.
            sketch = h.sketch()
            for step, (_, _, px, py) in enumerate(hovered[:4]):
                u, v = math.trunc(105 + 54 * px), math.trunc(116 - 54 * py)
                near = [sketch.pixel(u + du, v + dv) for du in (-1, 0, 1) for dv in (-1, 0, 1)
                        if 0 <= u + du < sketch.width and 0 <= v + dv < sketch.height]
                self.assertIn(BLUE, near, f"sketch: nothing blue at bounce {step} ({u}, {v})")
            self.assertGreater(sketch.count_colour(BLUE), 100, "the followed path")

            # Click: the corner forecast from the hovered point.
            k = forecast(hovered, geometry)
            h.click_portrait(x, ROW_RIGHT_ANGLE)
            self.assertEqual(h.text("Label11"),
                             "won't approach any corners in a while" if k == 10000
                             else f"closest corner is in: {k}steps")

            # Double click: the click's forecast, then a run on from its last bounce.
            before = h.portrait()
            h.double_click_portrait(x, ROW_RIGHT_ANGLE, timeout=RUN_TIMEOUT)
            end = k + 1001 * (REPEAT + 1)
            hovered = orbit(h, repr(s), "90", end + 1000 * REPEAT)
            added = window.dots(hovered[k + 1:end + 1])
            shot = h.portrait()
            self.assert_dots_drawn(shot, added, both | added, "double click")
            self.assertGreater(len(added - both), 50, "the double click adds dots")
            kept = [p for p in pixels_of(before, BLACK) if shot.pixel(*p) == WHITE]
            self.assertEqual(kept, [], "earlier dots vanished")
            self.assertEqual(h.text("Label8"), "ready!")

            # A repeat count that is no number stops go before anything changes.
            h.type_into("Edit5", "2x")
            h.click("Button1", timeout=RUN_TIMEOUT)
            self.assertIn("2x", h.expect_error())
            self.assertEqual(differing_pixels(h.portrait(), shot)[:10], [], "go drew despite the error")
            self.assertEqual(h.text("Button1"), "continue")
            h.type_into("Edit5", str(REPEAT))

            # Clear: an empty portrait, and no grid.
            h.click("Button4")
            self.assertEqual(h.portrait().non_white(PLOT_AREA), 0)
            self.assertEqual(h.text("Button1"), "continue")

            # Continue after clear: the orbit goes on from the double click's last
            # bounce, drawn with the clear's scales (778/s4 and 666/3.14, up to
            # s = 11) until a fresh start recomputes them.
            h.click("Button1", timeout=RUN_TIMEOUT)
            after_clear = Window(0, 11.0, 0, PI)
            after_clear.scale_s = 778 / geometry["s4"]
            after_clear.scale_phi = 212.10191082802547
            again = after_clear.dots(hovered[end + 1:])
            self.assertNotEqual(again, window.dots(hovered[end + 1:]), "the scales differ")
            self.assert_dots_drawn(h.portrait(), again, again, "continue after clear")
            h.assert_alive()
            self.assertEqual(h.close_main_window(), 0)
            self.assertEqual(h.sanitizer_reports(), [], h.stderr())


def f32(value: float) -> float:
    return struct.unpack("f", struct.pack("f", value))[0]


def analyse(h: Harness, s: float, *extra: str) -> dict:
    return json.loads(cli(h, "analyse", "--b", B, "--rr", RR, "--distance", repr(s),
                          "--angle", "90", *extra))


class AnalysisFitAndZoom(SessionCase):
    def graph(self, h: Harness) -> Image:
        return h.screenshot(h.rect("Image1", "lyapunov"))

    def test_right_click_analysis_lyapunov_window_fit_and_right_drag_zoom(self):
        with Harness() as h:
            geometry = table(h)
            window = full_window(geometry)
            fill_table(h)
            h.click("Button1", timeout=RUN_TIMEOUT)
            self.assertFalse(h.window_visible("lyapunov"), "hidden until an analysis draws")

            # Right click with the graph box ticked: the period and class in
            # Label11, the series in the Lyapunov window and its data file.
            h.set_check("CheckBox4", True)
            x = 140
            s, _ = window.phase(x, ROW_RIGHT_ANGLE)
            data = os.path.join(h.work_dir, "expected-adat2.dat")
            expected = analyse(h, s, "--data", data)
            h.right_click_portrait(x, ROW_RIGHT_ANGLE, timeout=RUN_TIMEOUT)
            self.assertEqual(h.text("Label11"), expected["label"])
            self.assertRegex(expected["label"], r"^period\?: \d+ ; \d+ , \d+ , \d+\n\S+  "
                                                r"(hiperbolic|parabolic|elliptic|not periodic)\nm11=\S+  ;  m22=\S+$")
            self.assertTrue(h.window_visible("lyapunov"))
            series = expected["series"]
            self.assertEqual(len(series), 100)
            self.assertEqual(h.text("Label4", window="lyapunov"),
                             f"lg(tr)max: {math.ceil(f32(max(series)))}")
            with open(os.path.join(h.data_dir, "adat2.dat")) as written, open(data) as tool:
                self.assertEqual(written.read(), tool.read(), "the data file")

            # The series is the black polyline of the graph: block m at
            # x = 4m + 5 (100 blocks), value v at y = 330 - v * 330/40000.
            h.move_window_aside("lyapunov")
            graph = self.graph(h)
            y_scale = f32(330 / f32(40000))
            for m, value in enumerate(series, start=1):
                u, v = math.trunc(m * 4.0 + 5), math.trunc(330 - value * y_scale)
                near = [graph.pixel(u + du, v + dv) for du in (-1, 0, 1) for dv in (-1, 0, 1)]
                self.assertIn(BLACK, near, f"graph: block {m} not drawn at ({u}, {v})")
            self.assertGreater(graph.count_colour(GREEN), 400, "the axes")

            # Fit linear over the untouched window: blocks 2 to 100.
            fit = expected["fit"]
            h.click("Button2", window="lyapunov")
            fit_text = (f"y=ax+b\na= {exponent7(fit['a'])}\nb= {exponent7(fit['b'])}"
                        "\nblockindependent gradient:")
            self.assertEqual(h.text("Label4", window="lyapunov"), fit_text)
            self.assertEqual(h.text("Edit4", window="lyapunov"), general(fit["gradient"], 7))
            graph = self.graph(h)
            self.assertGreater(graph.count_colour(RED), 200, "the fitted line")
            self.assertGreater(graph.count_colour(BLACK), 200, "the series, redrawn")

            # A block count that is no number: an error box, and the fit on
            # screen stays.
            h.type_into("Edit2", "1x", window="lyapunov")
            h.click("Button2", window="lyapunov")
            self.assertIn("1x", h.expect_error())
            self.assertEqual(differing_pixels(self.graph(h), graph)[:10], [], "the graph was touched")
            self.assertEqual(h.text("Label4", window="lyapunov"), fit_text)
            h.type_into("Edit2", "100", window="lyapunov")

            # A block size that is no number stops the next analysis before its
            # series: the label shows the new analysis; graph and file stay.
            h.type_into("Edit1", "5x0", window="lyapunov")
            x2 = 400
            s2, _ = window.phase(x2, ROW_RIGHT_ANGLE)
            h.right_click_portrait(x2, ROW_RIGHT_ANGLE, timeout=RUN_TIMEOUT)
            self.assertIn("5x0", h.expect_error())
            self.assertEqual(h.text("Label11"), analyse(h, s2, "--blocks", "1")["label"])
            self.assertEqual(differing_pixels(self.graph(h), graph)[:10], [], "the graph was touched")
            with open(os.path.join(h.data_dir, "adat2.dat")) as written, open(data) as tool:
                self.assertEqual(written.read(), tool.read(), "the data file was lost")
            h.type_into("Edit1", "500", window="lyapunov")

            # A typed period skips the search.
            h.type_into("Edit6", "2")
            h.right_click_portrait(x2, ROW_RIGHT_ANGLE, timeout=RUN_TIMEOUT)
            typed = analyse(h, s2, "--period", "2", "--blocks", "1")["label"]
            self.assertTrue(typed.startswith("period?: 2\n"), typed)
            self.assertEqual(h.text("Label11"), typed)

            # Right drag: the dragged rectangle becomes the window, the portrait
            # is cleared and the orbit of the release point replayed into it.
            x1, y1, x2, y2 = 100, 150, 420, ROW_RIGHT_ANGLE
            h.right_drag(x1, y1, x2, y2, timeout=RUN_TIMEOUT)
            s_release, _ = window.phase(x2, y2)
            zoomed = Window(window.s_min + (x1 - 6) / window.scale_s,
                            window.s_min + (x2 - 6) / window.scale_s,
                            window.phi_max - (y2 - 9) / window.scale_phi,
                            window.phi_max - (y1 - 9) / window.scale_phi)
            self.assertEqual(h.text("Label11"),
                             f"{zoomed.scale_s:.15g}  {x2 - x1} {zoomed.scale_phi:.15g}")
            replay = zoomed.dots(orbit(h, repr(s_release), "90", 1001 * (REPEAT + 1))[1:])
            self.assertGreater(len(replay), 100, "the replay lands in the zoomed window")
            # All but the rightmost column, which the clear leaves as it was.
            cleared = Rect(0, 0, 793, 681)
            shot = h.portrait()
            self.assertEqual(pixels_of(shot, BLACK, cleared), replay, "the zoomed portrait")
            self.assertEqual(shot.count_colour(RED, cleared) + shot.count_colour(GREEN, cleared),
                             0, "no grid after a zoom")

            # The read-out now maps into the zoomed window.
            h.mouse_move_portrait(300, 300)
            s_zoom, phi_zoom = zoomed.phase(300, 300)
            self.assertEqual(h.text("Label8"), f"dist:  {general(s_zoom, 7)}  angle:  "
                                               f"{general(phi_zoom * 180 / PI, 7)}")
            h.assert_alive()
            self.assertEqual(h.close_main_window(), 0)
            self.assertEqual(h.sanitizer_reports(), [], h.stderr())


# The load button reads its markers anywhere in the chosen path, folders included.
NAME_MARKERS = re.compile(r"B_|_rr_|rr_|_i|kx_|kn_|px_|pn_")


class LoadAStoredPortrait(SessionCase):
    def test_load_a_rendered_portrait_then_run_on_it(self):
        with Harness() as h, tempfile.TemporaryDirectory(prefix="trapezola-load-") as spare:
            # A temporary folder's random name may itself hold a marker ("_i").
            folder = h.work_dir if not NAME_MARKERS.search(h.work_dir) else spare
            self.assertIsNone(NAME_MARKERS.search(folder), folder)
            path = cli(h, "render", "--b", B, "--rr", RR, "--distance", "2", "--angle", "60",
                       "--repeat", str(REPEAT), "--out-dir", folder).strip()
            name = os.path.basename(path)
            self.assertRegex(name, r"^B_0\.5_rr_2_i2_kx_\d\.\d{5}_kn_0\.00000_px_3\.14159_"
                                   r"pn_0\.00000\.png$")
            stored = read_png(path)

            h.click("Button2")
            h.choose_file(path)
            self.assertEqual(h.text("Edit1"), B)
            self.assertEqual(h.text("Edit2"), RR)
            self.assertEqual(h.text("Label11"), f"loaded:\nB= {B}  erperer= {RR}")
            # render also wrote the run's parameters into the file's text
            # chunks: the start fields come back, and the orbit can be continued.
            self.assertEqual(h.text("Edit3"), "2")
            self.assertEqual(h.text("Edit4"), "60")
            self.assertEqual(h.text("Button1"), "continue")
            shot = h.portrait()
            differing = differing_pixels(shot, stored)
            self.assertEqual(differing[:10], [], f"the stored picture ({len(differing)} pixels)")

            # The window of the text chunks, to the bit: the whole perimeter,
            # phi from 0 to pi; the read-out maps with it.
            geometry = table(h)
            loaded = Window(0.0, geometry["s4"], 0.0, PI)
            h.mouse_move_portrait(300, 300)
            s, phi = loaded.phase(300, 300)
            self.assertEqual(h.text("Label8"),
                             f"dist:  {general(s, 7)}  angle:  {general(phi * 180 / PI, 7)}")

            # Go from the start fields on the loaded table: the new dots land in
            # the loaded window, over the stored picture, which stays.
            h.type_into("Edit3", DISTANCE)
            h.type_into("Edit4", ANGLE)
            h.type_into("Edit5", str(REPEAT))
            h.click("Button1", timeout=RUN_TIMEOUT)
            self.assertEqual(h.text("Button1"), "continue")
            run = orbit(h, DISTANCE, ANGLE, 1000 * REPEAT)[1:]
            new = loaded.dots(run)
            shot = h.portrait()
            missing = [p for p in new if shot.pixel(*p) not in (BLACK, RED, GREEN)]
            self.assertEqual(missing[:10], [], f"dots of the run ({len(missing)} of {len(new)})")
            self.assertGreater(len([p for p in new if stored.pixel(*p) == WHITE]), 500,
                               "the run's dots cover new pixels")
            lost = [(x, y) for y in range(PLOT_AREA.y, PLOT_AREA.y + PLOT_AREA.height)
                    for x in range(PLOT_AREA.x, PLOT_AREA.x + PLOT_AREA.width)
                    if stored.pixel(x, y) == BLACK and shot.pixel(x, y) == WHITE]
            self.assertEqual(lost, [], "the stored dots stay")
            h.assert_alive()
            self.assertEqual(h.close_main_window(), 0)
            self.assertEqual(h.sanitizer_reports(), [], h.stderr())


if __name__ == "__main__":
    run_tests()
