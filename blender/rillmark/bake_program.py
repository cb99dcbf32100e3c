"""Running rillmark-bake: finding it, asking it about parameters and preset
files, and a bake as a child process whose progress lines are read while
Blender goes on. No bpy."""

import json
import os
import queue
import re
import signal
import stat
import subprocess
import sys
import threading
import time

_HERE = os.path.dirname(os.path.abspath(__file__))
_WINDOWS = sys.platform == "win32"
PROGRAM_NAME = "rillmark-bake.exe" if _WINDOWS else "rillmark-bake"

# "rillmark-bake: frames 20/201, 0:01 so far, 0:03 left"
_PROGRESS = re.compile(r"^rillmark-bake: frames (\d+)/(\d+), (\S+) so far, (\S+) left$")
_PREFIX = "rillmark-bake: "
# How long a stopped child may take to clean up before it is killed.
_STOP_GRACE_SECONDS = 5.0
# On Windows no Ctrl-C reaches a child that has no console of the parent's.
_CAN_SIGNAL = not _WINDOWS


class ProgramError(Exception):
    """The program is missing or failed; the text is for the user."""


def bundled_program():
    return os.path.join(_HERE, "bin", PROGRAM_NAME)


def find_program(preferred=""):
    """The program to run: the one the preferences name, else the bundled
    one. Installing an add-on from a zip drops the files' run bit on
    Linux, so it is put back here."""
    path = os.path.abspath(os.path.expanduser(preferred)) if preferred else bundled_program()
    if not os.path.isfile(path):
        where = "set in the add-on's preferences" if preferred else "bundled with the add-on"
        raise ProgramError(f"rillmark-bake not found: {path} ({where}); "
                           "choose it in Edit > Preferences > Add-ons > Rillmark")
    if not _WINDOWS and not os.access(path, os.X_OK):
        try:
            os.chmod(path, os.stat(path).st_mode | stat.S_IXUSR | stat.S_IXGRP | stat.S_IXOTH)
        except OSError as e:
            raise ProgramError(f"rillmark-bake cannot be made runnable: {path}: {e.strerror}") from e
    return path


def _failure(result_text, status):
    """The program's own messages, without its name before each."""
    lines = [line[len(_PREFIX):] if line.startswith(_PREFIX) else line
             for line in result_text.splitlines() if line.strip() and not _PROGRESS.match(line)]
    return "; ".join(lines) or f"rillmark-bake failed (exit status {status})"


def run_quietly(program, arguments):
    """Runs a short command of the program; its standard output, or
    ProgramError with its message."""
    try:
        done = subprocess.run([program, *arguments], capture_output=True, text=True, encoding="utf-8",
                              errors="replace", **_no_window())
    except OSError as e:
        raise ProgramError(f"rillmark-bake could not start: {program}: {e.strerror}") from e
    if done.returncode != 0:
        raise ProgramError(_failure(done.stderr, done.returncode))
    return done.stdout


def read_preset(program, path):
    """The parameters' values (by parameter name) after loading a preset
    file, read by the plug-in's own code."""
    return json.loads(run_quietly(program, ["--preset", path, "--print-parameters"]))


def write_preset(program, path, arguments):
    """A preset file made by the plug-in's own code from the parameters
    given as options."""
    run_quietly(program, [*arguments, "--save-preset", path])


def _no_window():
    # A console window would flash up for each run on Windows.
    return {"creationflags": subprocess.CREATE_NO_WINDOW} if _WINDOWS else {}


class Progress:
    def __init__(self, done=0, total=0, left=""):
        self.done, self.total, self.left = done, total, left


def parse_progress(line):
    match = _PROGRESS.match(line.strip())
    if not match:
        return None
    return Progress(int(match.group(1)), int(match.group(2)), match.group(4))


class BakeProcess:
    """A bake running as a child process. Its standard error is read on a
    thread of its own, so neither a full pipe nor a slow reader holds the
    bake up, and the caller polls without waiting."""

    def __init__(self, program, arguments, output):
        self.progress = Progress()
        self._target = output
        self._started = time.time()
        self._lines = queue.Queue()
        self._messages = []
        self._output = []
        try:
            self._process = subprocess.Popen([program, *arguments, "--progress-lines"], stdin=subprocess.DEVNULL,
                                             stdout=subprocess.PIPE, stderr=subprocess.PIPE, text=True,
                                             encoding="utf-8", errors="replace", **_no_window())
        except OSError as e:
            raise ProgramError(f"rillmark-bake could not start: {program}: {e.strerror}") from e
        self._readers = [threading.Thread(target=self._read, args=(stream, sink), daemon=True)
                         for stream, sink in ((self._process.stderr, self._lines),
                                              (self._process.stdout, None))]
        for reader in self._readers:
            reader.start()

    def _read(self, stream, sink):
        for line in stream:
            if sink is None:
                self._output.append(line)
            else:
                sink.put(line.rstrip("\r\n"))
        stream.close()

    def _drain(self):
        while True:
            try:
                line = self._lines.get_nowait()
            except queue.Empty:
                return
            progress = parse_progress(line)
            if progress:
                self.progress = progress
            elif line:
                self._messages.append(line)

    def poll(self):
        """None while it runs, else its exit status (every line read)."""
        self._drain()
        status = self._process.poll()
        if status is None:
            return None
        for reader in self._readers:
            reader.join()
        self._drain()
        return status

    def wait(self):
        while (status := self.poll()) is None:
            time.sleep(0.02)
        return status

    def failure(self):
        return _failure("\n".join(self._messages), self._process.returncode)

    def warnings(self):
        return [line[len(_PREFIX):] for line in self._messages if line.startswith(_PREFIX + "warning:")]

    def summary(self):
        return "".join(self._output).strip()

    def stop(self):
        """Stops the bake as Ctrl-C does: it removes what it was writing and
        leaves every output as it was. A program that has to be killed (on
        Windows, or one that does not end in a few seconds) cannot clean up,
        so its temporary file beside the output is removed here."""
        if self._process.poll() is None:
            try:
                if not _CAN_SIGNAL:
                    raise OSError("no signal reaches the program")
                self._process.send_signal(signal.SIGTERM)
                self._process.wait(_STOP_GRACE_SECONDS)
            except (OSError, subprocess.TimeoutExpired):
                self._process.kill()
                self._process.wait()
                self._remove_temporary_files()
        self.poll()

    def _remove_temporary_files(self):
        # The bake program's names for what it writes before it renames it.
        folder = os.path.dirname(self._target) or "."
        for name in os.listdir(folder):
            path = os.path.join(folder, name)
            if name.startswith(".rillmark-bake-") and name.endswith(".tmp") and \
                    os.path.getmtime(path) >= self._started - 1:
                try:
                    os.remove(path)
                except OSError:
                    pass
