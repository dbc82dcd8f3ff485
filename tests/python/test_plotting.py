"""The Matplotlib drawings: plot_portrait's dots are the orbit's exact phase
points, one colour an orbit, with pi ticks and the corners; plot_atlas's heat
map and colour bar; a Portrait shows itself as a PNG."""
import matplotlib

matplotlib.use("Agg")
import matplotlib.pyplot as plt  # noqa: E402
import numpy as np  # noqa: E402
import pytest  # noqa: E402

import trapezola  # noqa: E402


@pytest.fixture
def axes():
    figure, ax = plt.subplots()
    yield ax
    plt.close(figure)


def test_portrait_dots_are_the_orbits_phase_points(axes):
    table = trapezola.Table(0.5, 2.0)
    starts = [(0.7, 60.0), (2.0, 80.0)]
    drawn = trapezola.plot_portrait(axes, table, starts=starts, bounces=500, legend=True)
    assert len(drawn) == 2
    for collection, (s, deg) in zip(drawn, starts):
        rows = trapezola.orbit(table, s, deg, 500)[1:]
        np.testing.assert_array_equal(collection.get_offsets(), np.column_stack([rows["s"], rows["phi"]]))
    colours = [tuple(c.get_facecolor()[0][:3]) for c in drawn]
    assert colours[0] == (0.0, 0.0, 0.0) and colours[0] != colours[1]
    assert [t.get_text() for t in axes.get_yticklabels()] == ["0", "π/4", "π/2", "3π/4", "π"]
    assert axes.get_xlim() == (0, table.s4)
    assert [t.get_text() for t in axes.get_legend().get_texts()] == ["s = 0.700, φ = 60.0°", "s = 2.000, φ = 80.0°"]
    assert sorted(t.get_text() for t in axes.texts) == ["1", "2", "3", "4"]


def test_portrait_by_spread_starts_and_an_orbit_that_leaves(axes):
    table = trapezola.Table(0.5, 2.0)
    drawn = trapezola.plot_portrait(axes, table, orbits=3, bounces=100, seed=7)
    starts = trapezola.spread_starts(table, 3, 7)
    rows = trapezola.orbit(table, starts[2][0], starts[2][1], 100)[1:]
    np.testing.assert_array_equal(drawn[2].get_offsets()[:, 0], rows["s"])
    with pytest.raises(ValueError, match="either starts"):
        trapezola.plot_portrait(axes, table, bounces=10)


def test_atlas_heat_map_has_a_colour_bar_and_blank_missing_cells(axes):
    atlas = trapezola.atlas([0.4, 0.6], [1.5, 2.0, 3.0], orbits=2, bounces=2000, shard=(0, 2))
    mesh = trapezola.plot_atlas(axes, atlas, "chaotic_orbits")
    values = mesh.get_array()
    assert values.size == 6 and np.ma.count_masked(values) == 3
    assert len(axes.figure.axes) == 2  # the colour bar's axes
    with pytest.raises(ValueError, match="is not one of"):
        trapezola.plot_atlas(axes, atlas, "cell")


def test_portrait_shows_itself_as_png():
    table = trapezola.Table(0.5, 2.0)
    picture = trapezola.Portrait.of(table, orbits=2, bounces=200)
    png = picture._repr_png_()
    assert png[:8] == b"\x89PNG\r\n\x1a\n"
    decoded = plt.imread(__import__("io").BytesIO(png))
    assert decoded.shape[:2] == trapezola.PORTRAIT_SHAPE[:2]
    np.testing.assert_array_equal((decoded[..., :3] * 255).round().astype(np.uint8), picture.pixels)
    np.testing.assert_array_equal(np.asarray(picture), trapezola.portrait(table, orbits=2, bounces=200))
    with pytest.raises(ValueError):
        trapezola.Portrait(np.zeros((3, 3)))
