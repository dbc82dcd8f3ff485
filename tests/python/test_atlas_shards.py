"""An atlas in shards from Python: the cells of atlas(..., shard=(i, S)), the
bytes of its CSV and sidecar against trapezola-cli atlas --shard, atlas-merge
joining Python's shards into a single run's file, and examples/dask_atlas.py on
a LocalCluster of two workers writing the very CSV trapezola-cli atlas writes."""
import json
import os
import pathlib
import subprocess
import sys

import numpy as np
import pytest

import trapezola
from conftest import run_cli

EXAMPLES = pathlib.Path(__file__).resolve().parents[2] / "examples"
# Small enough for seconds; 12 cells, so 3 shards of 4.
B, RR = "0.3:0.7:3", "1.5:3:4"
OPTIONS = ["--orbits", "3", "--bounces", "3000", "--seed", "5"]
KEYWORDS = dict(orbits=3, bounces=3000, seed=5)


def axes():
    return trapezola.atlas_axis(0.3, 0.7, 3), trapezola.atlas_axis(1.5, 3, 4)


def cli_atlas(path, *extra):
    run_cli("atlas", "--b", B, "--rr", RR, *OPTIONS, "--out", str(path), *extra)
    return path.read_bytes(), json.loads(path.with_suffix(".json").read_text())


def test_axis_values_are_the_tools(tmp_path):
    csv, _ = cli_atlas(tmp_path / "whole.csv")
    rows = [line.split(",") for line in csv.decode().splitlines()[1:]]
    b, rr = axes()
    assert [float(r[1]) for r in rows] == [b[k // 4] for k in range(12)]
    assert [float(r[2]) for r in rows] == [rr[k % 4] for k in range(12)]
    for bad in [(0.3, 0.7, 0), (0.7, 0.3, 3), (0.3, 0.7, 1), (0.3, float("nan"), 3)]:
        with pytest.raises(ValueError, match="trapezola.atlas_axis"):
            trapezola.atlas_axis(*bad)


def test_a_shard_is_the_tools_shard_byte_for_byte(tmp_path):
    b, rr = axes()
    whole = trapezola.atlas(b, rr, **KEYWORDS)
    for i in range(3):
        part = trapezola.atlas(b, rr, shard=(i, 3), threads=1, **KEYWORDS)
        assert part["cells"].tolist() == list(range(i, 12, 3))
        assert part["shard"] == (i, 3)
        csv, sidecar = cli_atlas(tmp_path / f"s{i}.csv", "--shard", f"{i}/3")
        assert part["csv"] == csv
        mine = json.loads(part["sidecar"])
        assert mine["run"] == sidecar["run"]
        assert mine["shard"] == sidecar["shard"] and mine["cells"] == sidecar["cells"] == 12
        assert mine["command"] == ["trapezola.atlas"]
        # The shard's cells are the whole run's; the others are missing.
        for k in range(12):
            row, column = k % 4, k // 4
            if k % 3 == i:
                assert part["lyapunov_max"][row, column] == whole["lyapunov_max"][row, column]
            else:
                assert np.isnan(part["lyapunov_max"][row, column])
                assert part["chaotic_orbits"][row, column] == -1


def test_atlas_merge_joins_pythons_shards_into_the_single_run(tmp_path):
    b, rr = axes()
    paths = []
    for i in range(3):
        part = trapezola.atlas(b, rr, shard=(i, 3), command=["test", str(i)], **KEYWORDS)
        path = tmp_path / f"py{i}.csv"
        path.write_bytes(part["csv"])
        path.with_suffix(".json").write_bytes(part["sidecar"])
        paths.append(str(path))
    run_cli("atlas-merge", *paths, "--out", str(tmp_path / "merged.csv"))
    csv, _ = cli_atlas(tmp_path / "whole.csv")
    assert (tmp_path / "merged.csv").read_bytes() == csv


def test_shard_refusals_and_a_grid_without_ranges():
    b, rr = axes()
    for shard in [(3, 3), (-1, 3), (0, 0)]:
        with pytest.raises(ValueError, match=r"trapezola.atlas: shard .* is not \(i, S\)"):
            trapezola.atlas(b, rr, shard=shard, **KEYWORDS)
    # Values that no FROM:TO:COUNT gives: the cells, but no sidecar to claim a range.
    part = trapezola.atlas([0.3, 0.31, 0.7], rr, **KEYWORDS)
    assert part["sidecar"] is None
    assert part["csv"].startswith(b"cell,b,rr,")


def test_dask_example_writes_the_tools_csv_on_two_workers(tmp_path):
    pytest.importorskip("dask.distributed")
    expected, _ = cli_atlas(tmp_path / "cli.csv")
    out = tmp_path / "dask.csv"
    # The example runs in another folder: a relative PYTHONPATH must still find the package.
    environment = dict(os.environ)
    environment["PYTHONPATH"] = os.pathsep.join(
        os.path.abspath(p) for p in os.environ.get("PYTHONPATH", "").split(os.pathsep) if p)
    done = subprocess.run([sys.executable, str(EXAMPLES / "dask_atlas.py"), "--b", B, "--rr", RR, *OPTIONS,
                           "--workers", "2", "--out", str(out), "--cli", os.environ["TRAPEZOLA_CLI"]],
                          capture_output=True, text=True, cwd=tmp_path, env=environment)
    assert done.returncode == 0, done.stderr
    assert out.read_bytes() == expected
    sidecar = json.loads(out.with_suffix(".json").read_text())
    assert sidecar["shard"] == {"index": 0, "count": 1}
    # Its sidecar is one that atlas-merge and atlas-plot take.
    run_cli("atlas-merge", str(out), "--out", str(tmp_path / "again.csv"))
    assert (tmp_path / "again.csv").read_bytes() == expected
    run_cli("atlas-plot", str(out), "--column", "lyapunov_median", "--out", str(tmp_path / "map.png"))
    assert (tmp_path / "map.png").read_bytes()[:8] == b"\x89PNG\r\n\x1a\n"
    assert not [p for p in tmp_path.iterdir() if p.name.startswith(".dask-atlas-")]
