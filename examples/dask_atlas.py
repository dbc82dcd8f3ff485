#!/usr/bin/env python3
"""The chaos atlas on a Dask cluster: the same CSV, byte for byte, as
`trapezola-cli atlas` writes for the same options, with its sidecar FILE.json.

    examples/dask_atlas.py --b 0.2:0.8:4 --rr 1.5:3:4 --orbits 8 --bounces 20000 --out atlas.csv
    examples/dask_atlas.py ... --scheduler tcp://head-node:8786    # a running cluster

Each of S shards (--shards, default four per worker) is one Dask task that runs
trapezola.atlas(..., shard=(i, S)) on one thread of a worker and returns the
shard's CSV and sidecar, written by the tool's own code. The shards are then
joined by `trapezola-cli atlas-merge` (found through --cli, TRAPEZOLA_CLI, PATH
or ./build/cli), which checks that they belong to one run and cover every cell.
Without --scheduler a LocalCluster of one worker process per core runs them
(--workers N to choose).
"""
import argparse
import os
import shutil
import subprocess
import sys
import tempfile
from pathlib import Path


def parse_range(text, name):
    parts = text.split(":")
    if len(parts) != 3:
        raise SystemExit(f"dask_atlas.py: --{name} {text!r} is not FROM:TO:COUNT")
    try:
        return float(parts[0]), float(parts[1]), int(parts[2])
    except ValueError:
        raise SystemExit(f"dask_atlas.py: --{name} {text!r} is not FROM:TO:COUNT (two numbers and a whole number)")


def find_cli(given):
    here = Path(__file__).resolve().parent.parent / "build" / "cli" / "trapezola-cli"
    for candidate in (given, os.environ.get("TRAPEZOLA_CLI"), shutil.which("trapezola-cli"), str(here)):
        if candidate and Path(candidate).is_file():
            return candidate
    raise SystemExit("dask_atlas.py: trapezola-cli not found: give --cli PATH (it joins the shards)")


def shard_files(b_values, rr_values, options, shard, command):
    """One Dask task: the shard's CSV and sidecar bytes."""
    import trapezola

    result = trapezola.atlas(b_values, rr_values, threads=1, shard=shard, command=command, **options)
    return result["csv"], result["sidecar"]


def main(argv):
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--b", required=True, help="FROM:TO:COUNT, as trapezola-cli atlas")
    parser.add_argument("--rr", required=True, help="FROM:TO:COUNT")
    parser.add_argument("--orbits", type=int, default=16)
    parser.add_argument("--bounces", type=int, default=100000)
    parser.add_argument("--seed", type=int, default=0)
    parser.add_argument("--boxes", type=int, default=100)
    parser.add_argument("--threshold-factor", type=float, default=10.0)
    parser.add_argument("--out", required=True, help="FILE.csv (and FILE.json beside it)")
    parser.add_argument("--scheduler", help="address of a running Dask scheduler")
    parser.add_argument("--workers", type=int, default=os.cpu_count() or 1, help="LocalCluster workers")
    parser.add_argument("--shards", type=int, help="tasks (default: four per worker, at most one per cell)")
    parser.add_argument("--cli", help="trapezola-cli, for atlas-merge")
    args = parser.parse_args(argv)
    if not args.out.endswith(".csv"):
        raise SystemExit("dask_atlas.py: --out does not end in .csv")

    import trapezola
    from dask.distributed import Client, LocalCluster

    cli = find_cli(args.cli)
    # The values trapezola-cli atlas takes for FROM:TO:COUNT, refused alike.
    try:
        b_values = trapezola.atlas_axis(*parse_range(args.b, "b")).tolist()
        rr_values = trapezola.atlas_axis(*parse_range(args.rr, "rr")).tolist()
    except ValueError as refusal:
        raise SystemExit(f"dask_atlas.py: {refusal}")
    options = dict(orbits=args.orbits, bounces=args.bounces, seed=args.seed, boxes=args.boxes,
                   threshold_factor=args.threshold_factor)
    cells = len(b_values) * len(rr_values)
    command = ["examples/dask_atlas.py"] + list(argv)

    cluster = None
    if args.scheduler:
        client = Client(args.scheduler)
    else:
        cluster = LocalCluster(n_workers=args.workers, threads_per_worker=1, processes=True,
                               dashboard_address=None)
        client = Client(cluster)
    try:
        workers = max(1, len(client.scheduler_info()["workers"]))
        shards = max(1, min(args.shards or 4 * workers, cells))
        futures = [client.submit(shard_files, b_values, rr_values, options, (i, shards), command, pure=False)
                   for i in range(shards)]
        results = client.gather(futures)
    finally:
        client.close()
        if cluster is not None:
            cluster.close()

    out = Path(args.out)
    with tempfile.TemporaryDirectory(prefix=".dask-atlas-", dir=out.parent if str(out.parent) else ".") as work:
        paths = []
        for i, (csv, sidecar) in enumerate(results):
            path = Path(work) / f"shard-{i}.csv"
            # Whole and as a pair, by the tool's own writer.
            trapezola.write_atlas(str(path), csv, sidecar)
            paths.append(str(path))
        merged = subprocess.run([cli, "atlas-merge", *paths, "--out", str(out)], capture_output=True, text=True)
    if merged.returncode != 0:
        sys.stderr.write(merged.stderr)
        return merged.returncode
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
