"""Shared helpers of the Python module's tests: trapezola-cli, whose output
the module must reproduce bit for bit, is found through TRAPEZOLA_CLI (CTest
sets it, and PYTHONPATH to the build folder's module)."""
import json
import os
import subprocess

import pytest


def _cli_path():
    path = os.environ.get("TRAPEZOLA_CLI")
    if not path:
        pytest.skip("TRAPEZOLA_CLI is not set: run these tests through CTest")
    return path


def run_cli(*args, check=True):
    """trapezola-cli with `args` (numbers as repr texts); returns the process."""
    words = [_cli_path()] + [a if isinstance(a, str) else repr(a) for a in args]
    done = subprocess.run(words, capture_output=True, text=True)
    if check and done.returncode != 0:
        raise AssertionError(f"{words} failed: {done.stderr}")
    return done


def cli_json(*args):
    return json.loads(run_cli(*args).stdout)


@pytest.fixture
def cli():
    return run_cli
