"""Runs every tests/e2e/test_*.py inside the X session that run-all set up, one line per test, then the count line
that CI reads. Usage: runner.py BUILD_FOLDER [TEST_NAME_PATTERN ...]"""

import os
import sys
import time
import unittest
from pathlib import Path

HERE = Path(__file__).resolve().parent


class CountingResult(unittest.TextTestResult):
    """Counts tests, not failures: a test with two failing sub-tests is one failed test."""

    def __init__(self, stream, descriptions, verbosity, progress_file=None):
        super().__init__(stream, descriptions, verbosity)
        self.progress_file = progress_file
        self.failed_ids = set()
        self._started = 0.0

    def startTest(self, test):
        self._started = time.monotonic()
        super().startTest(test)

    def stopTest(self, test):
        super().stopTest(test)
        self.stream.writeln(f"    ({time.monotonic() - self._started:.1f} s)")
        self.stream.flush()
        if self.progress_file:
            Path(self.progress_file).write_text(f"{self.passed_count()} {len(self.failed_ids)}\n")

    def addFailure(self, test, err):
        super().addFailure(test, err)
        self.failed_ids.add(test.id())

    def addError(self, test, err):
        super().addError(test, err)
        self.failed_ids.add(test.id())

    def addSubTest(self, test, subtest, err):
        super().addSubTest(test, subtest, err)
        if err is not None:
            self.failed_ids.add(test.id())

    def addUnexpectedSuccess(self, test):
        super().addUnexpectedSuccess(test)
        self.failed_ids.add(test.id())

    def passed_count(self):
        return self.testsRun - len(self.failed_ids) - len(self.skipped)


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
    # An import error in a test file shows up as an error of a stand-in test, so it is counted too.
    failed = len(result.failed_ids)
    passed = result.passed_count()
    print(f"e2e: run took {time.monotonic() - started:.0f} s")
    if result.skipped:
        print(f"e2e: {len(result.skipped)} skipped: " + "; ".join(f"{t.id()}: {why}" for t, why in result.skipped))
    print(f"e2e: {passed} passed, {failed} failed")
    # In CI as root every test can run, so a skip there means a proof went missing.
    if result.skipped and os.environ.get("CI") and os.geteuid() == 0:
        print("e2e: error: in CI as root every test must run", file=sys.stderr)
        return 1
    return 0 if failed == 0 and passed > 0 else 1


if __name__ == "__main__":
    sys.exit(main())
