#!/usr/bin/env python3
"""A phase portrait on Matplotlib axes and a chaos-atlas heat map, from the
Python module trapezola.

From the project folder, after `make build`:
    PYTHONPATH=build/python /usr/bin/python3 examples/portrait_and_atlas.py out.png
(or without PYTHONPATH after `make install`). Takes a few seconds on two cores.
"""
import sys

import matplotlib

matplotlib.use("Agg")
import matplotlib.pyplot as plt
import numpy as np

import trapezola


def main(out):
    table = trapezola.Table(0.5, 2.0)
    picture = trapezola.portrait(table, orbits=24, bounces=20000)

    b_values = np.linspace(0.05, 1.0, 12)
    rr_values = np.linspace(1.0, 4.8, 12)
    atlas = trapezola.atlas(b_values, rr_values, orbits=8, bounces=20000)

    figure, (left, right) = plt.subplots(1, 2, figsize=(13, 5), layout="constrained")
    left.imshow(picture, extent=trapezola.portrait_extent(table), aspect="auto", interpolation="nearest")
    for corner in (table.s1, table.s2, table.s3):
        left.axvline(corner, color="0.6", linewidth=0.5)
    left.set_xlim(0, table.s4)
    left.set_ylim(0, np.pi)
    left.set_xlabel("s (arc length from the top right corner)")
    left.set_ylabel("φ (radians)")
    left.set_title(f"24 orbits of b = {table.b}, R8/R = {table.rr}")

    mesh = right.pcolormesh(atlas["b"], atlas["rr"], atlas["lyapunov_median"], shading="nearest",
                            cmap="viridis")
    figure.colorbar(mesh, ax=right, label="median Lyapunov exponent per bounce")
    right.set_xlabel("b")
    right.set_ylabel("R8/R")
    right.set_title("chaos atlas: 8 orbits x 20,000 bounces a table")
    figure.savefig(out, dpi=100)


if __name__ == "__main__":
    main(sys.argv[1] if len(sys.argv) > 1 else "portrait-and-atlas.png")
