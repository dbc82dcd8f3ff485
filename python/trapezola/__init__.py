"""The Trapezola billiard engine: circular-trapezoid billiards from Python.

The engine's functions (Table, orbit, portrait, analyse, lyapunov, atlas,
atlas_axis, spread_starts, portrait_extent) come from the compiled extension
trapezola._trapezola; plot_portrait, plot_atlas and Portrait draw their
results with Matplotlib, which is imported only when they are called;
replay draws a saved portrait again from its history.
"""
from . import _trapezola
from ._trapezola import *  # noqa: F401,F403
from ._trapezola import __version__  # noqa: F401
from .plotting import Portrait, plot_atlas, plot_portrait  # noqa: F401
from .saved import png_texts, replay  # noqa: F401

__doc__ = _trapezola.__doc__ + "\n\n" + __doc__
