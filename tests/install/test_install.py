"""cmake --install into a fresh prefix, then the clients of the installed
library: the command, a C++ client found with find_package (the README's
example), a C client built with pkg-config, and the Python package."""
import os
import pathlib
import shutil
import subprocess

import pytest

SOURCE = pathlib.Path(__file__).resolve().parents[2]
BUILD = pathlib.Path(os.environ["PLOTVANE_BUILD_DIR"])
LIBDIR = os.environ["PLOTVANE_LIBDIR"]
PYTHON_DIR = os.environ["PLOTVANE_PYTHON_DIR"]
# Sanitizer flags of the build: clients of its libraries are built with them.
CLIENT_FLAGS = os.environ.get("PLOTVANE_CLIENT_FLAGS", "").split()
PNG_SIGNATURE = b"\x89PNG\r\n\x1a\n"


def run(*command, **kwargs):
    done = subprocess.run(command, capture_output=True, text=True, **kwargs)
    assert done.returncode == 0, "%s failed:\n%s%s" % (command[0], done.stdout, done.stderr)
    return done


def python_environment(**more):
    env = dict(os.environ, **more)
    preload = os.environ.get("PLOTVANE_TEST_PRELOAD")
    if preload:
        env.update(LD_PRELOAD=preload, ASAN_OPTIONS="detect_leaks=0")
    return env


@pytest.fixture(scope="module")
def installed(tmp_path_factory):
    where = tmp_path_factory.mktemp("prefix")
    return where, run("cmake", "--install", str(BUILD), "--prefix", str(where)).stdout


@pytest.fixture(scope="module")
def prefix(installed):
    return installed[0]


@pytest.mark.parametrize("path", [
    "bin/plotvane",
    LIBDIR + "/libplotvane.so",
    LIBDIR + "/libplotvane_com.so",
    "include/plotvane/plotvane.h",
    "include/plotvane/automation/com/variant.h",
    LIBDIR + "/cmake/Plotvane/PlotvaneConfig.cmake",
    LIBDIR + "/cmake/Plotvane/PlotvaneConfigVersion.cmake",
    LIBDIR + "/pkgconfig/plotvane.pc",
    PYTHON_DIR + "/plotvane/__init__.py",
])
def test_everything_lands_in_its_place(prefix, path):
    assert (prefix / path).is_file()


def test_the_installed_command_finds_its_server(prefix):
    command = str(prefix / "bin/plotvane")
    assert run(command, "--version").stdout == "Plotvane 3.1.1.0 (64 bit)\n"
    header = (prefix / "include/plotvane/plotvane.h").read_text()
    assert run(command, "header").stdout == header


def readme_example():
    """The README's C++ example: the block fenced as pie.cpp."""
    text = (SOURCE / "README.md").read_text()
    return text.split("```cpp pie.cpp\n", 1)[1].split("\n```", 1)[0] + "\n"


def test_a_find_package_client_draws_through_the_virtual_table(prefix, tmp_path):
    project = tmp_path / "project"
    shutil.copytree(SOURCE / "tests/install/find_package_client", project)
    (project / "pie.cpp").write_text(readme_example())
    build = tmp_path / "build"
    run("cmake", "-S", str(project), "-B", str(build), "-DCMAKE_PREFIX_PATH=" + str(prefix),
        "-DCMAKE_CXX_FLAGS=" + " ".join(CLIENT_FLAGS))
    run("cmake", "--build", str(build))
    run(str(build / "pie"), cwd=tmp_path)
    assert (tmp_path / "pie.png").read_bytes().startswith(PNG_SIGNATURE)


def test_a_pkg_config_client_in_c_draws_through_the_virtual_table(prefix, tmp_path):
    env = dict(os.environ, PKG_CONFIG_PATH=str(prefix / LIBDIR / "pkgconfig"))
    flags = run("pkg-config", "--cflags", "--libs", "plotvane", env=env).stdout.split()
    libdir = run("pkg-config", "--variable=libdir", "plotvane", env=env).stdout.strip()
    client = tmp_path / "client"
    run(os.environ.get("CC", "cc"), "-std=c11", "-Wall", "-Wextra", "-Werror", *CLIENT_FLAGS,
        str(SOURCE / "tests/install/pkg_config_client.c"), "-o", str(client), *flags)
    # The flags carry the search path of the installed libraries.
    assert "-Wl,-rpath," + libdir in flags
    run(str(client), str(tmp_path / "pie.png"))
    assert (tmp_path / "pie.png").read_bytes().startswith(PNG_SIGNATURE)


PYTHON_DRAWS = ("import plotvane\nd = plotvane.Draw()\nd.AddData('a', 1, '')\n"
                "import sys; sys.stdout.buffer.write(d.PNGPie[:8]); print(plotvane.__file__)")


def test_the_installed_python_package_draws(installed):
    prefix, output = installed
    # The interpreter searches no folder of this prefix: the install says
    # how to make it find the package.
    assert "export PYTHONPATH=%s" % (prefix / PYTHON_DIR) in output
    env = python_environment(PYTHONPATH=str(prefix / PYTHON_DIR))
    out = subprocess.run([os.environ["PLOTVANE_PYTHON"], "-c", PYTHON_DRAWS], env=env,
                         check=True, capture_output=True).stdout
    assert out.startswith(PNG_SIGNATURE)
    assert out[8:].decode().strip().startswith(str(prefix))


def test_a_prefix_python_searches_gets_the_package_where_it_looks(tmp_path):
    home = tmp_path / "home"
    env = dict(os.environ, HOME=str(home))
    env.pop("PYTHONPATH", None)
    output = run("cmake", "--install", str(BUILD), "--prefix", str(home / ".local"),
                 env=env).stdout
    assert "PYTHONPATH" not in output
    env = python_environment(HOME=str(home))
    env.pop("PYTHONPATH", None)
    out = subprocess.run([os.environ["PLOTVANE_PYTHON"], "-c", PYTHON_DRAWS], env=env,
                         check=True, capture_output=True, cwd=tmp_path).stdout
    assert out.startswith(PNG_SIGNATURE)
    assert out[8:].decode().strip().startswith(str(home / ".local/lib/python3"))
