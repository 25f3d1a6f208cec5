"""Every example of README.md, run as written and in order, so that a README
that drifts from the product fails the build.

The README's code blocks are fenced, each with its kind and, for a file, the
name the text gives it:

    ```sh           shell commands, run by bash in a folder of their own, one
                    block after another (exported variables carry over)
    ```json FILE    a script: written to FILE (chart.json when not named) and
                    played with build/plotvane run FILE
    ```python FILE  ```cpp FILE  ```c FILE    a program written to FILE, which
                    a later shell block builds or runs
    ```html         a page fragment: every path it links to must exist in the
                    service
    ```text         output shown; ```sh norun: commands not meant to run here
                    (make test itself, the fuzzer's half-hour runs)

The folder they run in has `build` (the build under test) and a home of its
own (HOME), so that the README's `~/.local` is the test's. The only edit to a
command is the port of the service: the README's 127.0.0.1:8080 is a service
this test starts, and a `plotvane serve` line listens on a free port, is
awaited until healthy, then stopped with SIGTERM and must exit 0. Programs a
sanitizer build needs to know of (python3, cc, c++) are wrapped to load or
link its runtime, and curl fails on an HTTP error status.
"""
import json
import os
import pathlib
import re
import shlex
import shutil
import signal
import subprocess
import time
import urllib.error
import urllib.request

import pytest

SOURCE = pathlib.Path(__file__).resolve().parents[2]
README = SOURCE / "README.md"
BUILD = pathlib.Path(os.environ.get("PLOTVANE_BUILD_DIR", SOURCE / "build"))
CLIENT_FLAGS = os.environ.get("PLOTVANE_CLIENT_FLAGS", "")
PRELOAD = os.environ.get("PLOTVANE_TEST_PRELOAD", "")
README_PORT = "127.0.0.1:8080"
PROGRAMS = ("python", "cpp", "c")
KINDS = ("sh", "json", "html", "text") + PROGRAMS


class Block:
    def __init__(self, line, kind, words, text):
        self.line = line      # of the opening fence, counted from 1
        self.kind = kind
        self.words = words    # the info string's words after the kind
        self.text = text

    def file(self):
        return self.words[0] if self.words else ("chart.json" if self.kind == "json" else "")

    def runs(self):
        return "norun" not in self.words and self.kind != "text"

    def __repr__(self):
        return "README.md:%d %s %s" % (self.line, self.kind, " ".join(self.words))


def read_blocks():
    blocks, lines = [], README.read_text().splitlines()
    i = 0
    while i < len(lines):
        fence = re.match(r"^```(\S*)\s*(.*)$", lines[i])
        if not fence:
            i += 1
            continue
        start, text = i + 1, []
        i += 1
        while i < len(lines) and lines[i] != "```":
            text.append(lines[i])
            i += 1
        blocks.append(Block(start, fence.group(1), fence.group(2).split(), "\n".join(text) + "\n"))
        i += 1
    return blocks


BLOCKS = read_blocks()


def indented_code_lines():
    """Lines that Markdown would show as an indented code block: four blanks
    after a blank line, outside fences and lists."""
    found, fenced, previous = [], False, ""
    for number, line in enumerate(README.read_text().splitlines(), 1):
        if line.startswith("```"):
            fenced = not fenced
        elif not fenced and line.startswith("    ") and line.strip() and not previous.strip():
            found.append(number)
        previous = line
    return found


def test_every_example_is_fenced_with_a_kind():
    assert indented_code_lines() == [], "indented code: fence it with its kind"
    for block in BLOCKS:
        assert block.kind in KINDS, "%r: not a kind this test knows" % block
        if block.kind in PROGRAMS:
            assert block.file(), "%r: name the file it is saved as" % block


def test_every_program_is_built_or_run_by_a_later_command():
    for i, block in enumerate(BLOCKS):
        if block.kind not in PROGRAMS:
            continue
        later = " ".join(b.text for b in BLOCKS[i + 1:] if b.kind == "sh" and b.runs())
        assert re.search(r"(^|\s)%s(\s|$)" % re.escape(block.file()), later), \
            "%r: no command after it uses %s" % (block, block.file())


# ---------------------------------------------------------------------------
# The folder the examples run in
# ---------------------------------------------------------------------------

def write_wrapper(folder, name, text):
    path = folder / name
    path.write_text("#!/bin/sh\n" + text)
    path.chmod(0o755)


def wrappers(folder):
    python = os.environ.get("PLOTVANE_PYTHON", "/usr/bin/python3")
    preload = ("LD_PRELOAD=%s ASAN_OPTIONS=detect_leaks=0 " % shlex.quote(PRELOAD)
               if PRELOAD else "")
    write_wrapper(folder, "python3", 'exec env %s%s "$@"\n' % (preload, python))
    for name, variable in (("cc", "CC"), ("c++", "CXX")):
        # By its full path: the wrapper itself is first on the PATH.
        compiler = shutil.which(os.environ.get(variable, name))
        write_wrapper(folder, name, 'exec %s %s "$@"\n' % (compiler, CLIENT_FLAGS))
    write_wrapper(folder, "curl", 'exec /usr/bin/curl --fail-with-body --silent --show-error "$@"\n')


class Service:
    """`plotvane serve` as a command line gives it, on a free port."""

    def __init__(self, args, cwd, env):
        args = list(args)
        if "--listen" in args:
            at = args.index("--listen") + 1
            args[at] = args[at].rsplit(":", 1)[0] + ":0"
        else:
            args += ["--listen", "127.0.0.1:0"]
        self.log = cwd / ("serve-%d.log" % time.monotonic_ns())
        with open(self.log, "w") as log:
            self.process = subprocess.Popen(args, cwd=cwd, env=env, stderr=log,
                                            stdout=subprocess.DEVNULL)
        self.address = None
        for _ in range(300):
            found = re.search(r"listening on (\S+) ", self.log.read_text())
            if found:
                self.address = found.group(1)
                break
            assert self.process.poll() is None, self.log.read_text()
            time.sleep(0.05)
        assert self.address, self.log.read_text()
        assert self.get("/healthz") == (200, b"ok\n")

    def get(self, path):
        try:
            with urllib.request.urlopen("http://%s%s" % (self.address, path), timeout=30) as r:
                return r.status, r.read()
        except urllib.error.HTTPError as error:
            return error.code, error.read()

    def stop(self):
        self.process.send_signal(signal.SIGTERM)
        return self.process.wait(timeout=60)


@pytest.fixture(scope="module")
def place(tmp_path_factory):
    folder = tmp_path_factory.mktemp("readme")
    (folder / "build").symlink_to(BUILD)
    (folder / "home").mkdir()
    (folder / "bin").mkdir()
    wrappers(folder / "bin")
    env = {k: v for k, v in os.environ.items()
           if k not in ("PYTHONPATH", "PKG_CONFIG_PATH", "LD_PRELOAD")}
    env.update(HOME=str(folder / "home"), PATH="%s:%s" % (folder / "bin", env.get("PATH", "")))
    (folder / ".state").write_text("")
    service = Service([str(BUILD / "plotvane"), "serve", "--workers", "2"], folder, env)
    yield folder, env, service
    assert service.stop() == 0, service.log.read_text()


def run_shell(folder, env, service, text, line):
    """Runs `text` with bash in `folder`, with the variables the blocks
    before exported; fails the test with what it printed if it fails."""
    text = text.replace(README_PORT, service.address)
    script = ("set -eo pipefail\n. ./.state\n" + text +
              "\nexport -p > .state\n")
    done = subprocess.run(["bash", "-c", script], cwd=folder, env=env, capture_output=True,
                          text=True, timeout=300)
    assert done.returncode == 0, "README.md:%d failed (%d):\n%s\n%s%s" % (
        line, done.returncode, text, done.stdout[-4000:], done.stderr[-4000:])


def is_serve(command):
    words = command.split("#")[0].split()
    return len(words) >= 2 and words[0].endswith("plotvane") and words[1] == "serve" \
        and "--help" not in words


def run_sh(block, folder, env, service):
    # Lines that start a service are run apart: started, awaited, stopped.
    chunk, chunk_line = [], block.line + 1
    for offset, line in enumerate(block.text.splitlines()):
        if is_serve(line):
            if chunk:
                run_shell(folder, env, service, "\n".join(chunk), chunk_line)
            started = Service(shlex.split(line, comments=True), folder, env)
            assert started.stop() == 0, "README.md:%d: %s" % (
                block.line + 1 + offset, started.log.read_text())
            chunk, chunk_line = [], block.line + 2 + offset
        else:
            chunk.append(line)
    if any(line.strip() for line in chunk):
        run_shell(folder, env, service, "\n".join(chunk), chunk_line)


def run_json(block, folder, env):
    (folder / block.file()).write_text(block.text)
    script = json.loads(block.text)
    steps = script["steps"] if isinstance(script, dict) else script
    done = subprocess.run([str(folder / "build/plotvane"), "run", block.file()], cwd=folder,
                          env=env, capture_output=True, text=True, timeout=120)
    assert done.returncode == 0, "%r:\n%s%s" % (block, done.stdout[-4000:], done.stderr)
    results = json.loads(done.stdout)["results"]
    for step, result in zip(steps, results):
        if "save" in step:
            assert (folder / step["save"]).stat().st_size > 0, "%r: %s" % (block, step["save"])
        if step.get("get") == "ImageMapText":
            assert result["value"].startswith("<map"), "%r: the map is empty" % block


def run_html(block, service):
    for path in re.findall(r'(?:src|href)="(/[^"]*)"', block.text):
        status, _ = service.get(path.split("?")[0] + "?kind=pie")
        assert status != 404, "%r: %s is not a path of the service" % (block, path)


@pytest.mark.parametrize("block", [b for b in BLOCKS if b.runs()], ids=repr)
def test_example_runs_as_written(block, place):
    folder, env, service = place
    if block.kind == "sh":
        run_sh(block, folder, env, service)
    elif block.kind == "json":
        run_json(block, folder, env)
    elif block.kind == "html":
        run_html(block, service)
    else:
        (folder / block.file()).write_text(block.text)
