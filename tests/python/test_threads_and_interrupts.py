"""Long calls let other Python threads run (they release the GIL) and stop
on Ctrl+C. Neither test measures time: with the interpreter's switch interval
set far beyond the call, a thread that holds the GIL keeps it, so another
thread runs during the call only if the call released it."""
import _thread
import sys
import threading

import numpy as np
import pytest

import trapezola

LONG = 10**9  # bounces a test never waits for: an interrupt that fails hangs the test, and CTest's timeout fails it


@pytest.fixture
def no_preemption():
    interval = sys.getswitchinterval()
    sys.setswitchinterval(1000.0)
    yield
    sys.setswitchinterval(interval)


CALLS = {
    "orbit": lambda t: trapezola.orbit(t, 0.7, 60.0, 3_000_000, every=1_000_000),
    "portrait": lambda t: trapezola.portrait(t, orbits=4, bounces=200_000, threads=2),
    "analyse": lambda t: trapezola.analyse(t, 0.7, 60.0, blocks=200),
    "lyapunov": lambda t: trapezola.lyapunov(t, [(0.7, 60.0), (2.0, 80.0)], 200_000),
    "atlas": lambda t: trapezola.atlas([0.5, 1.0], [1.0, 2.0], orbits=2, bounces=20_000, threads=2),
    "birkhoff_orbits": lambda t: trapezola.birkhoff_orbits(t, 8),
    "continue_orbit": lambda t: trapezola.continue_orbit(5, (0.378745, 45.755), b=0.5, rr=(2.0, 1.8, 200)),
}


@pytest.mark.parametrize("name", CALLS)
def test_another_thread_runs_during_the_call(name, no_preemption):
    table = trapezola.Table(0.5, 2.0)
    started = threading.Event()
    result = []

    def call():
        started.set()
        result.append(CALLS[name](table))

    worker = threading.Thread(target=call)
    worker.start()
    # The worker holds the GIL from here on unless the call lets it go: this
    # thread wakes while the call is still running only then.
    started.wait()
    seen_during_the_call = not result
    worker.join()
    assert seen_during_the_call
    assert result


def test_two_threads_draw_the_pictures_one_thread_draws():
    tables = [trapezola.Table(0.5, 2.0), trapezola.Table(0.3, 5.0)]
    alone = [trapezola.portrait(t, orbits=8, bounces=20_000, threads=1, grid=True) for t in tables]
    together = [None, None]

    def draw(i):
        together[i] = trapezola.portrait(tables[i], orbits=8, bounces=20_000, threads=1, grid=True)

    workers = [threading.Thread(target=draw, args=(i,)) for i in range(2)]
    for w in workers:
        w.start()
    for w in workers:
        w.join()
    assert all(np.array_equal(a, b) for a, b in zip(alone, together))


LONG_CALLS = {
    "orbit": lambda t: trapezola.orbit(t, 0.7, 60.0, LONG * 100, every=LONG * 100),
    "portrait": lambda t: trapezola.portrait(t, orbits=4, bounces=LONG, threads=2),
    "lyapunov": lambda t: trapezola.lyapunov(t, [(0.7, 60.0), (2.0, 80.0)], LONG),
    "analyse": lambda t: trapezola.analyse(t, 0.7, 60.0, blocksize=10**6, blocks=10**6),
    "atlas": lambda t: trapezola.atlas([0.5, 0.6], [2.0, 3.0], orbits=4, bounces=LONG, threads=2),
    # The side orbit run 5000 times round: hours of steps, stopped between two.
    "continue_orbit": lambda t: trapezola.continue_orbit(10_000, (2.6850160512289727, 90.0), b=0.5,
                                                         rr=(2.0, 1.99, 100_000)),
}


@pytest.mark.parametrize("name", LONG_CALLS)
def test_ctrl_c_interrupts_a_long_call(name, no_preemption):
    table = trapezola.Table(0.5, 2.0)
    ready = threading.Event()

    def press_ctrl_c():
        # Runs only once the main thread has released the GIL inside the call.
        ready.wait()
        _thread.interrupt_main()

    helper = threading.Thread(target=press_ctrl_c)
    helper.start()
    with pytest.raises(KeyboardInterrupt):
        ready.set()
        LONG_CALLS[name](table)
    helper.join()
    # The engine's workers have stopped: the next call runs normally.
    assert len(trapezola.orbit(table, 0.7, 60.0, 10)) == 11
