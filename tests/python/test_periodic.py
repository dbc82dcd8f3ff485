"""Periodic orbits from Python: periodic_orbit, birkhoff_orbits and
continue_orbit give the bits of trapezola-cli periodic and continue, with
its keys, and refuse what the tool refuses in its words."""
import json
import pytest

import trapezola
from conftest import cli_json, run_cli


ORBITS = [
    # b, rr, period, (distance, angle_deg)
    (0.5, 2.0, 2, (0.6, 80.0)),  # the top-bottom orbit, hyperbolic
    (0.5, 2.0, 2, (2.7, 91.0)),  # the side orbit, elliptic
    (0.5, 2.0, 5, (0.378745, 45.755)),  # the elliptic 1/5 orbit
    (1.0, 1.0, 3, (0.7, 59.0)),  # a circle's triangle: the least-squares step
    (0.3, 5.0, 4, (-0.5, 70.0)),  # a guess before corner 1, taken round the perimeter
    (0.5, 2.0, 7, (0.7, 1e-6)),  # no bounce from the guess: converged False
]


def same(got, expected):
    """A number the tool printed with 17 digits (or null) against the module's."""
    if expected is None:
        return got is None
    return got == expected


@pytest.mark.parametrize("b, rr, period, near", ORBITS)
def test_periodic_orbit_is_the_cli_orbit(b, rr, period, near):
    done = run_cli("periodic", "--b", b, "--rr", rr, "--period", str(period),
                   "--near", f"{near[0]!r},{near[1]!r}", check=False)
    expected = json.loads(done.stdout)
    got = trapezola.periodic_orbit(trapezola.Table(b, rr), period, near)
    assert set(got) == set(expected)
    assert done.returncode == (0 if got["converged"] else 1)
    for key, value in expected.items():
        if key == "points":
            if value is None:
                assert got[key] is None
            else:
                assert got[key].shape == (period, 2)
                assert got[key].tolist() == value
        else:
            assert same(got[key], value), key


def test_birkhoff_orbits_are_the_cli_catalogue():
    text = run_cli("periodic", "--b", 0.5, "--rr", 2.0, "--catalogue", "--max-period", "6").stdout
    lines = text.strip().split("\n")
    header = lines[0].split(",")
    rows = [line.split(",") for line in lines[1:]]
    got = trapezola.birkhoff_orbits(trapezola.Table(0.5, 2.0), 6)
    assert list(got) == header
    assert len(got["m"]) == len(rows)
    for i, row in enumerate(rows):
        for key, text_value in zip(header, row):
            value = got[key][i]
            if key in ("m", "n"):
                assert value == int(text_value)
            elif key in ("kind", "class"):
                assert value == text_value
            else:
                assert value == float(text_value), (key, i)


def test_continue_orbit_is_the_cli_continuation():
    expected = cli_json("continue", "--b", 0.5, "--rr", "2:1.8:11", "--period", "5", "--near", "0.378745,45.755")
    got = trapezola.continue_orbit(5, (0.378745, 45.755), b=0.5, rr=(2.0, 1.8, 11))
    assert set(got) == {"steps", "bifurcations", "stopped"}
    steps = got["steps"]
    assert len(steps["parameter"]) == len(expected["steps"])
    for i, step in enumerate(expected["steps"]):
        for key, value in step.items():
            assert steps[key][i] == value, (key, i)
    assert got["bifurcations"] == expected["bifurcations"]
    assert got["stopped"] == expected["stopped"]


def test_continue_orbit_along_b_says_where_it_stopped():
    done = run_cli("continue", "--b", "0.5:0.6:3", "--rr", 2.0, "--period", "7", "--near", "0.7,1e-6", check=False)
    assert done.returncode == 1
    expected = json.loads(done.stdout)
    got = trapezola.continue_orbit(7, (0.7, 1e-6), b=(0.5, 0.6, 3), rr=2.0)
    assert len(got["steps"]["parameter"]) == 0
    assert got["stopped"] == expected["stopped"]


REFUSALS = [
    (lambda: trapezola.periodic_orbit(trapezola.Table(0.5, 2.0), 1, (0.7, 60.0)),
     ["periodic", "--b", "0.5", "--rr", "2", "--period", "1", "--near", "0.7,60"]),
    (lambda: trapezola.periodic_orbit(trapezola.Table(0.5, 2.0), 2, (0.7, 180.0)),
     ["periodic", "--b", "0.5", "--rr", "2", "--period", "2", "--near", "0.7,180"]),
    (lambda: trapezola.birkhoff_orbits(trapezola.Table(0.5, 2.0), 41),
     ["periodic", "--b", "0.5", "--rr", "2", "--catalogue", "--max-period", "41"]),
    (lambda: trapezola.continue_orbit(2, (0.7, 60.0), b=(0.5, 0.6, 1), rr=2.0),
     ["continue", "--b", "0.5:0.6:1", "--rr", "2", "--period", "2", "--near", "0.7,60"]),
]


@pytest.mark.parametrize("call, cli_args", REFUSALS)
def test_refusals_read_as_the_tools(call, cli_args):
    refused = run_cli(*cli_args, check=False)
    assert refused.returncode == 2 and refused.stdout == ""
    # The words after the quoted value: "... --period '1' is below 2".
    words = refused.stderr.strip().split("' ", 1)[1]
    with pytest.raises(ValueError) as raised:
        call()
    assert str(raised.value).endswith(" " + words)


def test_continue_orbit_needs_exactly_one_range():
    with pytest.raises(ValueError, match="give one of b and rr as"):
        trapezola.continue_orbit(2, (0.7, 60.0), b=0.5, rr=2.0)
    with pytest.raises(ValueError, match="give one of b and rr as"):
        trapezola.continue_orbit(2, (0.7, 60.0), b=(0.4, 0.5, 3), rr=(1.0, 2.0, 3))
