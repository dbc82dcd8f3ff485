#!/usr/bin/env python3
"""pip's route, offline: a venv with Debian's packages visible
(--system-site-packages), `pip install --no-build-isolation --no-index` of a copy
of the source (setup.py drives CMake for the venv's interpreter), then the
module imported and the pytest suite run from a folder outside the source.

    pip_install_check.py SOURCE_DIR TRAPEZOLA_CLI
"""
import os
import shutil
import subprocess
import sys
import tempfile
from pathlib import Path

SUITES = ["test_results_match_cli.py", "test_refusals.py", "test_estimators.py", "test_plotting.py"]


def run(words, **kwargs):
    done = subprocess.run(words, capture_output=True, text=True, **kwargs)
    if done.returncode != 0:
        sys.stdout.write(done.stdout[-20000:])
        sys.stderr.write(done.stderr[-20000:])
        raise SystemExit(f"failed ({done.returncode}): {' '.join(map(str, words))}")
    return done.stdout


def main(source, cli):
    source = Path(source).resolve()
    with tempfile.TemporaryDirectory(prefix="trapezola-pip-") as work:
        work = Path(work)
        # A copy: pip builds in the tree, and the source stays as it is.
        copy = work / "source"
        shutil.copytree(source, copy, ignore=shutil.ignore_patterns("build*", ".git", "__pycache__", "*.egg-info"))
        run([sys.executable, "-m", "venv", "--system-site-packages", str(work / "venv")])
        python = work / "venv" / "bin" / "python"
        environment = {k: v for k, v in os.environ.items() if k not in ("PYTHONPATH", "PIP_INDEX_URL")}
        environment["PIP_NO_INPUT"] = "1"
        if shutil.which("ccache"):
            environment.setdefault("CMAKE_ARGS", "-DCMAKE_CXX_COMPILER_LAUNCHER=ccache")
        run([str(python), "-m", "pip", "install", "--no-build-isolation", "--no-index", "--no-cache-dir", str(copy)],
            env=environment, cwd=work)
        outside = work / "elsewhere"
        outside.mkdir()
        where = run([str(python), "-c", "import trapezola; print(trapezola.__file__, trapezola.__version__)"],
                    env=environment, cwd=outside).split()
        assert Path(where[0]).is_relative_to(work / "venv"), f"imported from {where[0]}, not the venv"
        print("installed", where[1], "at", where[0])
        environment["TRAPEZOLA_CLI"] = cli
        environment["MPLBACKEND"] = "Agg"
        tests = source / "tests" / "python"
        print(run([str(python), "-m", "pytest", "-q", "-p", "no:cacheprovider", *[str(tests / s) for s in SUITES]],
                  env=environment, cwd=outside)[-2000:])


if __name__ == "__main__":
    main(sys.argv[1], sys.argv[2])
