"""The atlas's estimators from Python: the same cells as trapezola-cli atlas,
and per-orbit exponents that make up those cells."""
import csv
import math
import os
import tempfile

import numpy as np

import trapezola
from conftest import run_cli


def cli_atlas(*args):
    with tempfile.TemporaryDirectory() as folder:
        path = os.path.join(folder, "atlas.csv")
        run_cli("atlas", *args, "--out", path)
        with open(path, newline="") as f:
            return list(csv.DictReader(f))


def test_atlas_cells_are_the_cli_cells():
    rows = cli_atlas("--b", "0.5:1:2", "--rr", "1:2:3", "--orbits", "4", "--bounces", "20000", "--seed", "5",
                     "--threads", "1")
    got = trapezola.atlas([0.5, 1.0], [1.0, 1.5, 2.0], orbits=4, bounces=20000, seed=5, threads=2)
    assert got["lyapunov_max"].shape == (3, 2)
    assert len(rows) == 6
    for row in rows:
        i = list(got["b"]).index(float(row["b"]))
        j = list(got["rr"]).index(float(row["rr"]))
        for column in ("lyapunov_max", "lyapunov_median", "chaotic_fraction"):
            assert got[column][j, i] == float(row[column]), column
        for column in ("chaotic_orbits", "stopped_orbits"):
            assert got[column][j, i] == int(row[column]), column


def test_atlas_takes_values_that_are_not_evenly_spaced():
    b = [0.2, 0.5, 0.55]
    got = trapezola.atlas(b, [2.0], orbits=2, bounces=5000, threads=2)
    for i, value in enumerate(b):
        alone = trapezola.atlas([value], [2.0], orbits=2, bounces=5000, threads=1)
        assert got["lyapunov_max"][0, i] == alone["lyapunov_max"][0, 0]


def test_lyapunov_exponents_make_up_the_atlas_cell():
    table = trapezola.Table(0.5, 2.0)
    starts = trapezola.spread_starts(table, 5, seed=2)
    assert starts.shape == (5, 2)
    orbits = trapezola.lyapunov(table, [tuple(s) for s in starts], 30000)
    cell = trapezola.atlas([0.5], [2.0], orbits=5, seed=2, bounces=30000)
    assert not orbits["stopped"].any()
    assert list(orbits["bounces"]) == [30000] * 5
    assert np.max(orbits["exponent"]) == cell["lyapunov_max"][0, 0]
    assert np.sort(orbits["exponent"])[2] == cell["lyapunov_median"][0, 0]
    # A chaotic table: the exponents are those of the README's atlas, 0.1 to 0.8.
    assert cell["chaotic_orbits"][0, 0] >= 4


def test_a_circle_has_no_chaotic_orbit():
    m = 20000
    table = trapezola.Table(1.0, 1.0)
    orbits = trapezola.lyapunov(table, [(0.7, 60.0), (2.0, 10.0), (4.0, 89.0)], m, boxes=10)
    # A regular orbit's exponent decays like ln M / M; the atlas's threshold
    # is ten times that.
    assert (orbits["exponent"] < 10 * math.log(m) / m).all()
    assert orbits["boxes"].shape == (10, 10)
    # Every orbit of a circle keeps its angle: three rows of boxes at most.
    assert 0 < orbits["boxes"].any(axis=1).sum() <= 3
