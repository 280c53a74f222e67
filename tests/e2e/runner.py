"""Runs every tests/e2e/test_*.py inside the X session that run-all set up, one line per test, then the count line
that CI reads. Usage: runner.py BUILD_FOLDER [TEST_NAME_PATTERN ...]"""

import os
import sys
import time
import unittest
from pathlib import Path

HERE = Path(__file__).resolve().parent


class CountingResult(unittest.TextTestResult):
    def __init__(self, stream, descriptions, verbosity, progress_file=None):
        super().__init__(stream, descriptions, verbosity)
        self.progress_file = progress_file
        self.passed = 0
        self._started = 0.0

    def startTest(self, test):
        self._started = time.monotonic()
        super().startTest(test)

    def stopTest(self, test):
        super().stopTest(test)
        self.stream.writeln(f"    ({time.monotonic() - self._started:.1f} s)")
        self.stream.flush()
        if self.progress_file:
            Path(self.progress_file).write_text(f"{self.passed} {self.failed_count()}\n")

    def addSuccess(self, test):
        super().addSuccess(test)
        self.passed += 1

    def failed_count(self):
        return len(self.failures) + len(self.errors) + len(self.unexpectedSuccesses)


def main():
    if len(sys.argv) < 2:
        print("usage: runner.py BUILD_FOLDER [TEST_NAME_PATTERN ...]", file=sys.stderr)
        return 2
    os.environ["BRISVANE_BUILD"] = str(Path(sys.argv[1]).resolve())
    sys.path.insert(0, str(HERE))
    loader = unittest.TestLoader()
    if len(sys.argv) > 2:
        loader.testNamePatterns = [f"*{p}*" for p in sys.argv[2:]]
    suite = loader.discover(str(HERE), pattern="test_*.py", top_level_dir=str(HERE))
    progress = os.environ.get("E2E_PROGRESS")

    started = time.monotonic()
    runner = unittest.TextTestRunner(
        verbosity=2, stream=sys.stdout,
        resultclass=lambda stream, descriptions, verbosity: CountingResult(stream, descriptions, verbosity,
                                                                           progress))
    result = runner.run(suite)
    failed = result.failed_count()
    print(f"e2e: run took {time.monotonic() - started:.0f} s")
    if result.skipped:
        print(f"e2e: {len(result.skipped)} skipped: " + "; ".join(f"{t.id()}: {why}" for t, why in result.skipped))
    print(f"e2e: {result.passed} passed, {failed} failed")
    return 0 if failed == 0 and result.passed > 0 else 1


if __name__ == "__main__":
    sys.exit(main())
