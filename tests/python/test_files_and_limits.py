"""Atlas files read back checked, and limits said before they bite: the
module's side, in the tool's words. Each case names the fault it guards."""
import hashlib
import os
import re
import resource
import subprocess
import sys

import numpy as np
import pytest

import trapezola
from conftest import run_cli

GRID = ["--b", "0.4:1:3", "--rr", "1:2.5:4", "--orbits", "4", "--bounces", "2000", "--boxes", "20"]


def atlas_file(folder, name, *extra):
    path = folder / name
    run_cli("atlas", *GRID, *extra, "--out", str(path))
    return path


def test_read_atlas_gives_the_cells_of_atlas(tmp_path):
    read = trapezola.read_atlas(str(atlas_file(tmp_path, "a.csv")))
    computed = trapezola.atlas(np.linspace(0.4, 1, 3), np.linspace(1, 2.5, 4), orbits=4, bounces=2000, boxes=20)
    assert read["shard"] == (0, 1)
    for key in ("b", "rr", "lyapunov_max", "lyapunov_median", "chaotic_orbits", "chaotic_fraction",
                "stopped_orbits"):
        assert np.array_equal(read[key], computed[key]), key
    assert read["threshold"] == computed["threshold"]


def test_read_atlas_of_a_shard_leaves_the_other_cells_out(tmp_path):
    read = trapezola.read_atlas(str(atlas_file(tmp_path, "s1.csv", "--shard", "1/3")))
    assert read["shard"] == (1, 3)
    # Cell i is column i // 4, row i % 4; shard 1/3 holds cells 1, 4, 7, 10.
    held = [(i % 4, i // 4) for i in (1, 4, 7, 10)]
    for row in range(4):
        for column in range(3):
            assert (read["chaotic_orbits"][row, column] >= 0) == ((row, column) in held)
            assert np.isnan(read["lyapunov_max"][row, column]) == ((row, column) not in held)


# Fault: a CSV beside another run's sidecar was taken for that run's.
def test_read_atlas_refuses_a_mismatched_pair(tmp_path):
    atlas_file(tmp_path, "one.csv")
    atlas_file(tmp_path, "two.csv", "--seed", "5")
    (tmp_path / "one.json").write_bytes((tmp_path / "two.json").read_bytes())
    with pytest.raises(ValueError, match=r"^trapezola\.read_atlas: '.*one\.csv' does not match its sidecar "):
        trapezola.read_atlas(str(tmp_path / "one.csv"))


# Fault: a shard with a field out of its range was read verbatim.
def test_read_atlas_refuses_a_bad_field_with_the_tools_words(tmp_path):
    path = atlas_file(tmp_path, "bad.csv")
    lines = path.read_text().splitlines(keepends=True)
    fields = lines[1].split(",")
    fields[5] = "99"
    lines[1] = ",".join(fields)
    path.write_text("".join(lines))
    data = path.read_bytes()
    sidecar = (tmp_path / "bad.json").read_text()
    sidecar = re.sub(r'"csv": \{.*\}', f'"csv": {{"bytes": {len(data)}, "sha256": "{hashlib.sha256(data).hexdigest()}"}}',
                     sidecar)
    (tmp_path / "bad.json").write_text(sidecar)
    refused = run_cli("atlas-plot", str(path), "--column", "lyapunov_max", "--out", str(tmp_path / "m.png"),
                      check=False)
    assert refused.returncode == 2
    words = refused.stderr.strip().split(": ", 1)[1]
    with pytest.raises(ValueError) as raised:
        trapezola.read_atlas(str(path))
    assert str(raised.value) == "trapezola.read_atlas: " + words
    assert words.endswith("line 2 has chaotic_orbits '99', outside 0 to 4, the orbits that did not stop")


def test_read_atlas_names_a_missing_or_folder_sidecar(tmp_path):
    path = atlas_file(tmp_path, "lone.csv")
    (tmp_path / "lone.json").unlink()
    with pytest.raises(ValueError, match=r"cannot read the sidecar '.*lone\.json' of '.*lone\.csv': No such file"):
        trapezola.read_atlas(str(path))
    (tmp_path / "lone.json").mkdir()
    with pytest.raises(ValueError, match=r"lone\.json' of '.*lone\.csv': it is a folder, not a file$"):
        trapezola.read_atlas(str(path))


# Fault: NumPy's "negative dimensions are not allowed".
def test_an_orbit_too_long_for_the_memory_raises_memory_error_with_the_amount():
    table = trapezola.Table(0.5, 2.0)
    with pytest.raises(MemoryError) as raised:
        trapezola.orbit(table, 0.7, 60.0, 2**63 - 1)
    assert re.fullmatch(
        r"trapezola\.orbit: the rows of 9223372036854775807 bounces \(every=1\) would need about [0-9.]+ EB of "
        r"memory, more than the [0-9.]+ [kMGT]B this process may use \(the least of the available memory, "
        r"ulimit -v, ulimit -d and the cgroup's limit\)", str(raised.value)), str(raised.value)
    # Every 10**12-th row of the same orbit needs little: it is refused by nothing but its length.
    assert trapezola.orbit(table, 0.7, 60.0, 10, every=10**12).shape == (2,)


# Fault: 10,000 x 10,000 cells reserved their results at once, then ended in
# std::bad_alloc. Under a limit of 4 GB of address space (so that the result
# does not depend on the machine), in a process of its own.
def test_an_atlas_too_large_for_the_memory_raises_memory_error_with_the_amount():
    script = """
import numpy as np, trapezola
try:
    trapezola.atlas(np.linspace(0.1, 1, 10000), np.linspace(1, 5, 10000), threads=1)
except MemoryError as e:
    print(e)
"""
    limit = 4 * 10**9
    done = subprocess.run([sys.executable, "-c", script], capture_output=True, text=True,
                          env={**os.environ, "OPENBLAS_NUM_THREADS": "1"},
                          preexec_fn=lambda: resource.setrlimit(resource.RLIMIT_AS, (limit, limit)))
    assert done.returncode == 0, done.stderr
    assert re.fullmatch(r"trapezola\.atlas: this atlas of 100000000 cells would need about [0-9.]+ GB of memory, more "
                        r"than the [0-9.]+ GB this process may use \(.*\)\n", done.stdout), done.stdout


def test_radius_bottom_is_described_as_it_is():
    doc = trapezola.Table.radiusBottom.__doc__
    assert "R = 1" not in doc and "always 1" not in doc
    assert trapezola.Table(0.5, 2.0).radiusBottom == pytest.approx(1.0327955589886446, rel=1e-15)
