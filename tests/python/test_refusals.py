"""Bad arguments raise ValueError with the words the command-line tool refuses
them with, and nothing runs."""
import pytest

import trapezola
from conftest import run_cli


def table():
    return trapezola.Table(0.5, 2.0)


START = ["--distance", "0.7", "--angle", "60"]
CASES = [
    # what the module is given, the command line that refuses the same value, the option's name there
    (lambda: trapezola.Table(0.0, 2.0), ["table", "--b", "0", "--rr", "2"], "b"),
    (lambda: trapezola.Table(1.5, 2.0), ["table", "--b", "1.5", "--rr", "2"], "b"),
    (lambda: trapezola.Table(0.5, 0.5), ["table", "--b", "0.5", "--rr", "0.5"], "rr"),
    (lambda: trapezola.Table(0.5, 2e4), ["table", "--b", "0.5", "--rr", "20000"], "rr"),
    (lambda: trapezola.orbit(table(), 0.7, 0.0, 10),
     ["orbit", "--b", "0.5", "--rr", "2", "--distance", "0.7", "--angle", "0", "--bounces", "10"], "angle"),
    (lambda: trapezola.orbit(table(), 0.7, 180.0, 10),
     ["orbit", "--b", "0.5", "--rr", "2", "--distance", "0.7", "--angle", "180", "--bounces", "10"], "angle"),
    (lambda: trapezola.orbit(table(), 0.7, 60.0, -1), ["orbit", "--b", "0.5", "--rr", "2", *START, "--bounces", "-1"],
     "bounces"),
    (lambda: trapezola.orbit(table(), 0.7, 60.0, 10, every=0),
     ["orbit", "--b", "0.5", "--rr", "2", *START, "--bounces", "10", "--every", "0"], "every"),
    (lambda: trapezola.analyse(table(), 0.7, 200.0), ["analyse", "--b", "0.5", "--rr", "2", "--distance", "0.7",
                                                      "--angle", "200"], "angle"),
    (lambda: trapezola.analyse(table(), 0.7, 60.0, sensitivity=11),
     ["analyse", "--b", "0.5", "--rr", "2", *START, "--sensitivity", "11"], "sensitivity"),
    (lambda: trapezola.analyse(table(), 0.7, 60.0, blocks=0),
     ["analyse", "--b", "0.5", "--rr", "2", *START, "--blocks", "0"], "blocks"),
    (lambda: trapezola.portrait(table(), orbits=0, bounces=10),
     ["portrait", "--b", "0.5", "--rr", "2", "--orbits", "0", "--bounces", "10", "--out", "x.png"], "orbits"),
    (lambda: trapezola.portrait(table(), orbits=2, bounces=10, threads=300),
     ["portrait", "--b", "0.5", "--rr", "2", "--orbits", "2", "--bounces", "10", "--threads", "300",
      "--out", "x.png"], "threads"),
    (lambda: trapezola.portrait(table(), orbits=2, bounces=10, seed=2**32),
     ["portrait", "--b", "0.5", "--rr", "2", "--orbits", "2", "--seed", str(2**32), "--bounces", "10",
      "--out", "x.png"], "seed"),
]


@pytest.mark.parametrize("call, cli_args, option", CASES)
def test_refusal_reads_as_the_cli_refusal(call, cli_args, option):
    refused = run_cli(*cli_args, check=False)
    assert refused.returncode == 2 and refused.stdout == ""
    line = refused.stderr.strip()
    # "trapezola-cli orbit: --angle '0' is outside (0, 180): ...": the words
    # after the quoted value.
    words = line.split("' ", 1)[1]
    with pytest.raises(ValueError) as raised:
        call()
    message = str(raised.value)
    assert message.startswith("trapezola.")
    assert message.endswith(" " + words)


def test_refusals_the_tool_has_no_option_for():
    t = table()
    with pytest.raises(ValueError, match="give either starts"):
        trapezola.portrait(t, bounces=10)
    with pytest.raises(ValueError, match="give either starts"):
        trapezola.portrait(t, starts=[(0.7, 60.0)], orbits=3, bounces=10)
    with pytest.raises(ValueError, match=r"start angle 0 is outside \(0, 180\)"):
        trapezola.portrait(t, starts=[(0.7, 60.0), (1.0, 0.0)], bounces=10)
    with pytest.raises(ValueError, match=r"b_values\[1\] 2 is outside \[0.0001, 1\]"):
        trapezola.atlas([0.5, 2.0], [2.0], bounces=10)
    with pytest.raises(ValueError, match="rr_values is empty"):
        trapezola.atlas([0.5], [], bounces=10)
    with pytest.raises(ValueError, match="distance nan is not a number"):
        trapezola.orbit(t, float("nan"), 60.0, 10)


def test_table_is_read_only():
    t = table()
    with pytest.raises(AttributeError):
        t.b = 0.7
    assert t.b == 0.5


def test_an_orbit_that_leaves_the_table_raises_the_cli_failure():
    # From corner 1 almost along the tangent: the second search finds no arc.
    failed = run_cli("orbit", "--b", "0.5", "--rr", "2", "--distance", "0", "--angle", "1e-7", "--bounces", "3",
                     check=False)
    assert failed.returncode == 1
    words = failed.stderr.strip().split(": ", 1)[1]
    assert words.startswith("the orbit left the table at bounce 2")
    with pytest.raises(RuntimeError) as raised:
        trapezola.orbit(table(), 0.0, 1e-7, 3)
    assert str(raised.value) == "trapezola.orbit: " + words
