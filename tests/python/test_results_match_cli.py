"""The module returns the command-line tool's numbers: the same bits (the
tool prints 17 significant digits, which read back as the same double), the
same picture pixel for pixel, the same analysis."""
import math
import os
import tempfile

import matplotlib.image
import numpy as np
import pytest

import trapezola
from conftest import cli_json, run_cli


def csv_rows(text):
    lines = text.strip().split("\n")
    return lines[0].split(","), [line.split(",") for line in lines[1:]]


TABLES = [(0.5, 2.0), (1.0, 1.0), (0.1, 3.0), (0.0001, 10000.0)]


@pytest.mark.parametrize("b, rr", TABLES)
def test_table_attributes_are_the_cli_geometry(b, rr):
    expected = cli_json("table", "--b", b, "--rr", rr)
    table = trapezola.Table(b, rr)
    for key, value in expected.items():
        got = getattr(table, key)
        if isinstance(value, list):
            assert got == tuple(value), key
        else:
            assert got == value, key


ORBITS = [
    # b, rr, distance, angle, bounces, every
    (0.5, 2.0, 0.7, 60.0, 1000, 1),
    (0.5, 2.0, 0.7, 60.0, 100, 7),  # the last bounce is not a multiple of 7
    (1.0, 1.0, 0.7, 60.0, 50, 1),  # a circle
    (0.3, 5.0, -0.5, 33.3, 500, 50),  # a start before corner 1, taken round the perimeter
    (0.5, 2.0, 8.3173753548467133, 90.0, 0, 1),  # beyond s4: wraps; the start row only
]


@pytest.mark.parametrize("b, rr, distance, angle, bounces, every", ORBITS)
def test_orbit_rows_are_the_cli_bits(b, rr, distance, angle, bounces, every):
    header, rows = csv_rows(run_cli("orbit", "--b", b, "--rr", rr, "--distance", distance, "--angle", angle,
                                    "--bounces", str(bounces), "--every", str(every)).stdout)
    got = trapezola.orbit(trapezola.Table(b, rr), distance, angle, bounces, every=every)
    assert list(got.dtype.names) == header
    assert len(got) == len(rows)
    for name, column in zip(header, zip(*rows)):
        if name in ("bounce", "arc"):
            expected = np.array([int(v) for v in column])
        else:
            expected = np.array([float(v) for v in column])
        # Bits, not a tolerance: the tool's 17 digits give back the very double.
        assert np.array_equal(got[name], expected), name


def test_orbit_in_chunks_equals_one_run():
    # 2^20 bounces a chunk: 3,000,000 crosses two chunk boundaries, and the
    # ball must go on exactly where a chunk left it.
    table = trapezola.Table(0.5, 2.0)
    whole = trapezola.orbit(table, 0.7, 60.0, 3_000_000, every=1_000_000)
    header, rows = csv_rows(run_cli("orbit", "--b", 0.5, "--rr", 2.0, "--distance", 0.7, "--angle", 60.0,
                                    "--bounces", "3000000", "--every", "1000000").stdout)
    assert [int(r[0]) for r in rows] == [0, 1_000_000, 2_000_000, 3_000_000]
    assert np.array_equal(whole["s"], np.array([float(r[1]) for r in rows]))
    assert np.array_equal(whole["phi"], np.array([float(r[2]) for r in rows]))


def cli_portrait(*args):
    with tempfile.TemporaryDirectory() as folder:
        path = os.path.join(folder, "portrait.png")
        run_cli("portrait", *args, "--out", path)
        picture = matplotlib.image.imread(path)
    return np.rint(picture[:, :, :3] * 255).astype(np.uint8)


def test_portrait_is_the_cli_picture_with_grid():
    expected = cli_portrait("--b", 0.5, "--rr", 2.0, "--orbits", "24", "--seed", "3", "--bounces", "3000",
                            "--grid")
    got = trapezola.portrait(trapezola.Table(0.5, 2.0), orbits=24, seed=3, bounces=3000, grid=True)
    assert got.shape == (681, 794, 3) and got.dtype == np.uint8
    assert np.array_equal(got, expected)


def test_portrait_from_starts_is_the_cli_picture_on_any_thread_count():
    expected = cli_portrait("--b", 0.3, "--rr", 5.0, "--start", "0.7,60", "--start", "2,80", "--start",
                            "5.5,20", "--bounces", "20000", "--threads", "1")
    table = trapezola.Table(0.3, 5.0)
    starts = [(0.7, 60.0), (2.0, 80.0), (5.5, 20.0)]
    for threads in (1, 3):
        got = trapezola.portrait(table, starts=starts, bounces=20000, threads=threads)
        assert np.array_equal(got, expected), threads
    # The dots are coloured: black, yellow and purple orbits on white.
    colours = {tuple(c) for c in got.reshape(-1, 3)}
    assert {(0, 0, 0), (0xF3, 0xC3, 0x00), (0x87, 0x56, 0x92), (255, 255, 255)} <= colours


def same_value(got, expected):
    if expected is None:
        return got is None or (isinstance(got, float) and math.isnan(got))
    if isinstance(expected, list):
        return len(got) == len(expected) and all(same_value(g, e) for g, e in zip(got, expected))
    if isinstance(expected, dict):
        return got.keys() == expected.keys() and all(same_value(got[k], expected[k]) for k in expected)
    return got == expected


ANALYSES = [
    # a chaotic table, searched; a typed period; the circle (parabolic)
    (0.5, 2.0, 0.7, 60.0, []),
    (0.5, 2.0, 2.0, 80.0, ["--period", "3", "--blocks", "40", "--blocksize", "200"]),
    (1.0, 1.0, 0.7, 60.0, ["--sensitivity", "-10"]),
]


@pytest.mark.parametrize("b, rr, distance, angle, options", ANALYSES)
def test_analysis_is_the_cli_analysis(b, rr, distance, angle, options):
    expected = cli_json("analyse", "--b", b, "--rr", rr, "--distance", distance, "--angle", angle, *options)
    keywords = {}
    for name, value in zip(options[::2], options[1::2]):
        keywords[name[2:]] = int(value)
    got = trapezola.analyse(trapezola.Table(b, rr), distance, angle, **keywords)
    assert got.keys() == expected.keys()
    assert isinstance(got["series"], np.ndarray)
    for key, value in expected.items():
        item = got[key]
        if isinstance(item, np.ndarray) or isinstance(item, tuple):
            item = list(item)
        assert same_value(item, value), key
