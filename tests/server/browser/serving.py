"""What the browser tests share: a tovalo-server of their own and the
program's tool, each failing the test with what it printed."""

import ctypes
import re
import signal
import subprocess
import threading


class Mismatch(Exception):
    pass


def check(condition, message):
    if not condition:
        raise Mismatch(message)


def die_with_parent():
    # The server must not outlive a test run that was killed on its timeout.
    ctypes.CDLL("libc.so.6", use_errno=True).prctl(1, signal.SIGKILL)  # PR_SET_PDEATHSIG


class Server:
    def __init__(self, program, data):
        self.program, self.data, self.log = program, data, []
        self.proc = subprocess.Popen(
            [program, "--listen", "127.0.0.1:0", "--data", str(data)],
            stdout=subprocess.DEVNULL, stderr=subprocess.PIPE, text=True,
            preexec_fn=die_with_parent)
        self.port = None
        started = threading.Event()

        def read():
            for line in self.proc.stderr:
                self.log.append(line)
                m = re.search(r"serving http on 127\.0\.0\.1:(\d+)", line)
                if m and self.port is None:
                    self.port = int(m.group(1))
                    started.set()
            started.set()

        threading.Thread(target=read, daemon=True).start()
        started.wait(20)
        if self.port is None:
            self.proc.kill()
        check(self.port is not None, "tovalo-server did not start:\n" + "".join(self.log))

    def admin(self, *args, stdin=None):
        r = subprocess.run([self.program, "admin", "--data", str(self.data), *args],
                           input=stdin, capture_output=True, text=True)
        check(r.returncode == 0, f"admin {' '.join(args)} failed ({r.returncode}): {r.stderr}")
        return r.stdout

    def stop(self):
        self.proc.terminate()
        try:
            code = self.proc.wait(10)
        except subprocess.TimeoutExpired:
            self.proc.kill()
            code = None
        check(code == 0, f"tovalo-server ended with {code} when asked to stop")


def run_tool(tool, *args):
    r = subprocess.run([tool, *args], capture_output=True, text=True)
    check(r.returncode == 0, f"tovalo-tool {' '.join(args)} failed: {r.stderr}")
    return r.stdout
