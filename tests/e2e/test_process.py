"""The running program's memory holds the master password: no core file may be written of it, and no other process
without the right to trace any process may read it."""

import os
import resource
import shutil
import subprocess
import sys

from harness import WAIT, BrisvaneTestCase, wait_for

# Run as root, the program and the reading process both keep every capability but this one: then only the
# program's own "dumpable" flag decides whether its memory can be read.
WITHOUT_PTRACE = ["setpriv", "--bounding-set=-sys_ptrace"]

READ_MEMORY = """
import sys
try:
    open(f"/proc/{sys.argv[1]}/mem", "rb").close()
except PermissionError:
    sys.exit(3)
"""


def core_limits(pid):
    """The soft and hard limits on core files, as the kernel shows them for the process."""
    with open(f"/proc/{pid}/limits") as limits:
        for line in limits:
            if line.startswith("Max core file size"):
                return tuple(line[len("Max core file size"):].split()[:2])
    raise AssertionError(f"no core file limit in /proc/{pid}/limits")


class ProcessTest(BrisvaneTestCase):

    def setUp(self):
        super().setUp()
        # Core files allowed to begin with, so that only the program can have switched them off.
        before = resource.getrlimit(resource.RLIMIT_CORE)
        try:
            resource.setrlimit(resource.RLIMIT_CORE, (resource.RLIM_INFINITY, resource.RLIM_INFINITY))
        except (ValueError, OSError):
            resource.setrlimit(resource.RLIMIT_CORE, (before[1], before[1]))
        self.addCleanup(resource.setrlimit, resource.RLIMIT_CORE, before)
        if resource.getrlimit(resource.RLIMIT_CORE)[0] == 0:
            self.skipTest("core files cannot be allowed here, so switching them off cannot be seen")

    def test_runningProgram_writesNoCoreFile(self):
        program = self.launch()
        program.window("Password Required")
        self.assertEqual(core_limits(program.pid), ("0", "0"))

    def test_runningProgram_memoryClosedToProcessesThatCannotTraceAll(self):
        if os.geteuid() != 0 or not shutil.which("setpriv"):
            self.skipTest("needs root and setpriv to start processes without the right to trace")
        env = dict(os.environ, HOME=str(self.home), XDG_CONFIG_HOME=str(self.home / "config"),
                   QT_QPA_PLATFORM="offscreen")
        runtime = self.home / "runtime"
        runtime.mkdir(mode=0o700)
        env["XDG_RUNTIME_DIR"] = str(runtime)

        def start(command):
            process = subprocess.Popen(WITHOUT_PTRACE + command, cwd=self.folder, env=env, stdin=subprocess.DEVNULL,
                                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
            self.addCleanup(process.wait, 10)
            self.addCleanup(process.kill)
            return process

        def memory_readable(pid):
            result = subprocess.run(WITHOUT_PTRACE + [sys.executable, "-c", READ_MEMORY, str(pid)], timeout=WAIT)
            self.assertIn(result.returncode, (0, 3), "the reading process failed otherwise")
            return result.returncode == 0

        # The same kind of process, left as the system starts it: its memory is open, so a refusal below is the
        # program's own doing.
        other = start(["sleep", "60"])
        wait_for(lambda: os.readlink(f"/proc/{other.pid}/exe").endswith("/sleep"), "sleep to run")
        self.assertTrue(memory_readable(other.pid))

        program = start([str(self.folder / "Brisvane")])
        # It switches core files off right after making itself undumpable.
        wait_for(lambda: program.poll() is None and core_limits(program.pid) == ("0", "0"),
                 "the program to switch core files off")
        self.assertIsNone(program.poll(), "the program runs")
        self.assertFalse(memory_readable(program.pid), "another process read the program's memory")
