"""Matplotlib drawings of the engine's results.

plot_portrait puts every bounce at its exact (s, phi) on a pair of axes, one
colour an orbit (the palette of `trapezola-cli portrait`), with the corners
marked on the s axis and phi ticks in fractions of pi. plot_atlas draws a
column of an atlas as a heat map over (b, R8/R) with a colour bar. Portrait
wraps the picture `portrait` returns so that a notebook shows it.
"""
import io
from fractions import Fraction

import numpy as np

from . import _trapezola

# Kelly's colours of maximum contrast without white, black first: orbit i
# takes colour i modulo 21, as in trapezola-cli portrait.
ORBIT_COLOURS = (
    "#000000", "#f3c300", "#875692", "#f38400", "#a1caf1", "#be0032", "#c2b280",
    "#848482", "#008856", "#e68fac", "#0067a5", "#f99379", "#604e97", "#f6a600",
    "#b3446c", "#dcd300", "#882d17", "#8db600", "#654522", "#e25822", "#2b3d26",
)


def _pi_label(fraction):
    if fraction == 0:
        return "0"
    numerator = "" if abs(fraction.numerator) == 1 else str(abs(fraction.numerator))
    sign = "-" if fraction < 0 else ""
    denominator = "" if fraction.denominator == 1 else f"/{fraction.denominator}"
    return f"{sign}{numerator}\u03c0{denominator}"


def pi_ticks(ax, lo=0.0, hi=np.pi):
    """Puts the phi axis's ticks at multiples of pi/4 (pi/8, pi/16, ... when
    zoomed so that at least three fall inside [lo, hi]) labelled in fractions
    of pi."""
    for denominator in (4, 8, 16, 32, 64, 128, 256, 512, 1024):
        step = np.pi / denominator
        first = int(np.ceil(lo / step - 1e-9))
        last = int(np.floor(hi / step + 1e-9))
        if last - first + 1 >= 3:
            ks = range(first, last + 1)
            ax.set_yticks([k * step for k in ks])
            ax.set_yticklabels([_pi_label(Fraction(k, denominator)) for k in ks])
            return


def plot_portrait(ax, table, starts=None, orbits=None, bounces=20000, seed=0, size=1.0, legend=False,
                  corners=True):
    """plot_portrait(ax, table, starts=None | orbits=N, bounces=20000, seed=0, size=1.0, legend=False)

    Runs each orbit for `bounces` bounces (starts: (s, degrees) pairs, one per
    orbit; or orbits=N spread by the R2 sequence from `seed`, as portrait's) and
    draws bounces 1..bounces at their exact (s, phi) on the Matplotlib axes
    `ax`, orbit i in colour i mod 21, dots of `size` points squared. Marks the
    corners on the s axis, puts phi ticks at fractions of pi, and with
    legend=True names each orbit by its start. An orbit that leaves the table
    draws the bounces before it. Returns the list of scatter collections."""
    if (starts is None) == (orbits is None):
        raise ValueError("trapezola.plot_portrait: give either starts ((s, deg) pairs, one per orbit) or orbits")
    if starts is None:
        starts = _trapezola.spread_starts(table, orbits, seed)
    collections = []
    for i, (s0, deg) in enumerate(np.asarray(starts, dtype=float).reshape(-1, 2)):
        rows = _orbit_rows(table, float(s0), float(deg), bounces)
        collections.append(ax.scatter(rows["s"], rows["phi"], s=size, marker="s", linewidths=0,
                                      color=ORBIT_COLOURS[i % len(ORBIT_COLOURS)],
                                      label=f"s = {s0:.3f}, \u03c6 = {deg:.1f}\u00b0", rasterized=False))
    ax.set_xlim(0, table.s4)
    ax.set_ylim(0, np.pi)
    ax.set_xlabel("s (perimeter coordinate from corner 1)")
    ax.set_ylabel("\u03c6 (rad)")
    pi_ticks(ax)
    if corners:
        for corner, name in ((table.s1, "2"), (table.s2, "3"), (table.s3, "4"), (table.s4, "1")):
            ax.axvline(corner, ymax=0.02, color="red", linewidth=1)
            ax.annotate(name, (corner, 0), xytext=(0, 6), textcoords="offset points",
                        ha="right" if name == "1" else "center",
                        color="red", fontsize="small")
    ax.set_title(f"b = {table.b:g}, R8/R = {table.rr:g}")
    if legend:
        ax.legend(loc="upper center", bbox_to_anchor=(0.5, -0.15), ncol=3, fontsize="x-small", markerscale=3,
                  frameon=False)
    return collections


def _orbit_rows(table, s0, deg, bounces):
    """Bounces 1..bounces, or up to the one before the orbit left the table."""
    try:
        return _trapezola.orbit(table, s0, deg, bounces)[1:]
    except RuntimeError as left:
        # "... left the table at bounce N: ...": keep the bounces before N.
        words = str(left).split("at bounce ")
        if len(words) < 2:
            raise
        before = int(words[1].split(":")[0]) - 1
        return _trapezola.orbit(table, s0, deg, before)[1:]


def plot_atlas(ax, atlas, column="lyapunov_median", cmap="viridis", colorbar=True, **kwargs):
    """plot_atlas(ax, atlas, column="lyapunov_median", cmap="viridis", colorbar=True)

    Draws column `column` of an `atlas` result (lyapunov_max, lyapunov_median,
    chaotic_orbits, chaotic_fraction or stopped_orbits) as a heat map over b
    across and R8/R up on the axes `ax`, one cell a table, with a colour bar
    naming the column. Cells another shard computed (NaN) stay blank. Returns
    the QuadMesh."""
    columns = ("lyapunov_max", "lyapunov_median", "chaotic_orbits", "chaotic_fraction", "stopped_orbits")
    if column not in columns:
        raise ValueError(f"trapezola.plot_atlas: column {column!r} is not one of {', '.join(columns)}")
    values = np.asarray(atlas[column], dtype=float)
    if column in ("chaotic_orbits", "stopped_orbits"):
        values = np.where(values < 0, np.nan, values)
    mesh = ax.pcolormesh(atlas["b"], atlas["rr"], np.ma.masked_invalid(values), shading="nearest", cmap=cmap,
                         **kwargs)
    ax.set_xlabel("b")
    ax.set_ylabel("R8/R")
    if colorbar:
        label = {"lyapunov_max": "largest Lyapunov exponent per bounce",
                 "lyapunov_median": "median Lyapunov exponent per bounce",
                 "chaotic_orbits": "chaotic orbits",
                 "chaotic_fraction": "chaotic fraction of phase space",
                 "stopped_orbits": "stopped orbits"}[column]
        ax.figure.colorbar(mesh, ax=ax, label=label)
    return mesh


class Portrait:
    """Portrait(pixels, table=None): the picture `trapezola.portrait` returns
    (an array of shape PORTRAIT_SHAPE, RGB), shown as a PNG in a notebook.

    Portrait.of(table, ...) runs `portrait` with the same arguments and wraps
    its picture. `pixels` is the array; `png()` its PNG bytes."""

    def __init__(self, pixels, table=None):
        pixels = np.asarray(pixels)
        if pixels.ndim != 3 or pixels.shape[2] != 3 or pixels.dtype != np.uint8:
            raise ValueError("trapezola.Portrait: pixels must be an array of shape (height, width, 3) of uint8")
        self.pixels = pixels
        self.table = table

    @classmethod
    def of(cls, table, **kwargs):
        return cls(_trapezola.portrait(table, **kwargs), table)

    def png(self):
        from matplotlib.image import imsave

        out = io.BytesIO()
        imsave(out, self.pixels, format="png")
        return out.getvalue()

    def _repr_png_(self):
        return self.png()

    def __array__(self, dtype=None, copy=None):
        return self.pixels if dtype is None else self.pixels.astype(dtype)

    def __repr__(self):
        where = f" of {self.table!r}" if self.table is not None else ""
        return f"<trapezola.Portrait{where}: {self.pixels.shape[1]} x {self.pixels.shape[0]} pixels>"
