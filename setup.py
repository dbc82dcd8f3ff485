"""The build of the Python package for pip: setuptools hands the extension
trapezola._trapezola to the project's CMake, configured for the interpreter that
runs this file, without the windows, the tests and the benchmarks.

    pip install .                                  # any CPython 3.9+ environment
    pip install --no-build-isolation --no-index .  # offline, with the build tools installed

CMAKE_ARGS (split at spaces) adds options to CMake's configure step, and
CMAKE_BUILD_PARALLEL_LEVEL sets its jobs (default: every core).
"""
import os
import shutil
import subprocess
import sys
from pathlib import Path

from setuptools import Extension, setup
from setuptools.command.build_ext import build_ext

SOURCE = Path(__file__).resolve().parent


class CMakeExtension(Extension):
    def __init__(self, name, target):
        super().__init__(name, sources=[])
        self.target = target


class CMakeBuild(build_ext):
    def build_extension(self, ext):
        build = Path(self.build_temp).resolve() / "cmake"
        build.mkdir(parents=True, exist_ok=True)
        configure = [
            "cmake", "-S", str(SOURCE), "-B", str(build),
            "-DCMAKE_BUILD_TYPE=Release",
            f"-DPython_EXECUTABLE={sys.executable}",
            "-DTRAPEZOLA_BUILD_UI=OFF", "-DTRAPEZOLA_BUILD_BENCH=OFF", "-DTRAPEZOLA_BUILD_TESTS=OFF",
        ]
        try:
            # pybind11 from PyPI (build isolation) carries its CMake files;
            # Debian's pybind11-dev puts them where CMake looks anyway.
            import pybind11

            configure.append(f"-Dpybind11_DIR={pybind11.get_cmake_dir()}")
        except ImportError:
            pass
        configure += os.environ.get("CMAKE_ARGS", "").split()
        subprocess.run(configure, check=True)
        jobs = os.environ.get("CMAKE_BUILD_PARALLEL_LEVEL", str(os.cpu_count() or 1))
        subprocess.run(["cmake", "--build", str(build), "--target", ext.target, "-j", jobs], check=True)
        built = build / "python" / "trapezola"
        module = next(p for p in built.iterdir() if p.name.startswith("_trapezola") and p.suffix == ".so")
        destination = Path(self.get_ext_fullpath(ext.name))
        destination.parent.mkdir(parents=True, exist_ok=True)
        shutil.copyfile(module, destination)


setup(
    packages=["trapezola"],
    package_dir={"trapezola": "python/trapezola"},
    ext_modules=[CMakeExtension("trapezola._trapezola", "trapezola_python")],
    cmdclass={"build_ext": CMakeBuild},
    zip_safe=False,
)
