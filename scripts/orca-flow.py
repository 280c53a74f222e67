"""Goes through one session with the keyboard alone while Orca runs, and writes what Orca spoke at each step.
Started by scripts/orca-check inside its X session. Usage: orca-flow.py ORCA_DEBUG_FILE SPOKEN_LINES_FILE"""

import re
import sys
import tempfile
import time
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parent.parent / "tests" / "e2e"))

import pyatspi  # noqa: E402

from harness import BUILD, MAIN_TITLE, Brisvane, WaitTimeout, char_count, has_state, key, type_text, wait_for  # noqa: E402

MASTER = "Secret1"
ENTRIES = [("bob", "Hunter2", "mail.example.org"), ("alice", "pw two", "home/alice")]
SPOKEN = re.compile(r"SPEECH OUTPUT: '(.*?)' ?\{", re.S)


class Orca:
    def __init__(self, debug_file):
        self.file = Path(debug_file)
        self.offset = self.file.stat().st_size if self.file.exists() else 0

    def lines(self):
        with open(self.file, "rb") as f:
            f.seek(self.offset)
            data = f.read()
        return [m.group(1) for m in SPOKEN.finditer(data.decode("utf-8", "replace"))]

    def step(self, heard=lambda spoken: True, settle=1.5, limit=15.0):
        """What Orca spoke since the last step, once it has said what heard() waits for (Orca may lag behind by
        seconds) and then nothing new for `settle` seconds."""
        start, count, quiet_since = time.monotonic(), -1, time.monotonic()
        while time.monotonic() - start < limit:
            spoken = self.lines()
            if len(spoken) != count:
                count, quiet_since = len(spoken), time.monotonic()
            elif time.monotonic() - quiet_since >= settle and heard(spoken):
                break
            time.sleep(0.1)
        spoken = self.lines()
        self.offset = self.file.stat().st_size
        return [s for s in spoken if s.strip()]


def focused(acc):
    return has_state(acc, pyatspi.STATE_FOCUSED)


def press(name, then_focused=None):
    key(name)
    if then_focused is not None:
        wait_for(lambda: focused(then_focused), f"the focus after {name}")


def press_until(name, done, what):
    """Presses a key until it has had its effect. With Orca running, a key that follows a window's closing now and
    then never reaches the program (without Orca it always does); that is Orca's and Qt's matter, not the program's."""
    key(name)
    try:
        wait_for(done, what, timeout=4, shot=False)
    except WaitTimeout:
        key(name)
        wait_for(done, what)


def type_here(box, text):
    count = char_count(box)
    type_text(text)
    wait_for(lambda: char_count(box) == count + len(text), f"{text!r} typed")


def main():
    orca, out = Orca(sys.argv[1]), Path(sys.argv[2])
    report, failures = [], []

    def step(title, must_hear=(), must_not_hear=()):
        # A character is heard when Orca says it alone; a longer text, when Orca says it anywhere.
        def said(w, spoken):
            return w in (s.strip() for s in spoken) if len(w) == 1 else w in "\n".join(spoken)
        spoken = orca.step(lambda spoken: all(said(w, spoken) for w in must_hear))
        heard = lambda w: said(w, spoken)
        report.append(f"== {title}")
        report.extend(f"   {line}" for line in spoken)
        failures.extend(f"{title}: not heard {w!r}" for w in must_hear if not heard(w))
        failures.extend(f"{title}: heard {w!r}" for w in must_not_hear if heard(w))

    with tempfile.TemporaryDirectory(prefix="brisvane-orca-") as root:
        folder, home = Path(root) / "app", Path(root) / "home"
        folder.mkdir()
        home.mkdir()
        (folder / "Brisvane").write_bytes((BUILD / "Brisvane").read_bytes())
        (folder / "Brisvane").chmod(0o755)
        program = Brisvane(folder, home).start()
        try:
            dialog = "Password Required"
            ok = program.button(dialog, "Ok")
            wait_for(lambda: focused(ok), "the password dialog to open on Ok")
            step("the password dialog opens")
            box = program.control(dialog, "password text", "Password")
            retype = program.control(dialog, "password text", "Retype Password")
            press("Tab", program.button(dialog, "Cancel"))
            press("Tab", box)
            step("Tab, Tab: into the password box", ["Password"])
            type_here(box, MASTER)
            step(f"typing {MASTER!r}", must_not_hear=["Secret", "ecret"] + list(MASTER))
            press("BackSpace")
            wait_for(lambda: char_count(box) == len(MASTER) - 1, "one character deleted")
            step("BackSpace", must_not_hear=list(MASTER))
            type_text(MASTER[-1])
            press("Tab", retype)
            step("Tab: into the retype box", ["Retype Password"])
            type_here(retype, MASTER)
            step(f"typing {MASTER!r} again", must_not_hear=["Secret", "ecret"] + list(MASTER))
            key("Return")
            add = program.button(MAIN_TITLE, "Add")
            wait_for(lambda: focused(add), "the main window to open on Add")
            step("Enter: the password is created")

            for user, password, location in ENTRIES:
                press_until("Return", lambda: program.has_window("Add an entry"), "Enter on Add to open the entry dialog")
                wait_for(lambda: focused(program.button("Add an entry", "Cancel")), "the entry dialog on Cancel")
                press("Tab", program.button("Add an entry", "Save"))
                for name, value in zip(("Username", "Password", "Website"), (user, password, location)):
                    field = program.control("Add an entry", "text", name)
                    press("Tab", field)
                    type_here(field, value)
                press("Tab")
                press("Tab")
                orca.step(settle=0.5)
                press("Return")
                wait_for(lambda: focused(add), "the focus back on Add")
                step(f"Enter on Save: {user} added", ["Added new entry.  Data saved."])

            entry_list = program.entry_list()
            for name in ("Edit", "Delete", "Visit www.brisvane.example"):
                press("Tab", program.button(MAIN_TITLE, name))
            orca.step(settle=0.5)
            press("Tab", entry_list)
            step("Tab into the list", ["bob", "Password Hunter2", "Website/Location mail.example.org"])
            press("Down")
            step("Down", ["alice", "Password pw two", "Website/Location home/alice"])
            press("Up")
            step("Up", ["bob", "Password Hunter2"])
            press_until("ctrl+space", lambda: program.selected_rows() == [0], "Ctrl+Space to select bob")
            press("Tab", program.button(MAIN_TITLE, "Copy Username"))
            orca.step(settle=0.5)
            press_until("Return", lambda: program.status_text() == "Copied Username bob", "Enter on Copy Username")
            step("Enter on Copy Username", ["Copied Username bob"])

            press("shift+Tab", entry_list)
            press_until("ctrl+space", lambda: program.selected_rows() == [], "Ctrl+Space to clear the selection")
            press("shift+Tab")
            press("shift+Tab", program.button(MAIN_TITLE, "Delete"))
            orca.step(settle=0.5)
            press_until("Return", lambda: program.status_text() == "You must first select an entry to delete.",
                        "Enter on Delete")
            step("Enter on Delete with nothing selected", ["You must first select an entry to delete."])

            press("Tab")
            press("Tab", entry_list)
            press_until("ctrl+space", lambda: program.selected_rows() == [0], "Ctrl+Space to select bob")
            press("shift+Tab")
            press("shift+Tab", program.button(MAIN_TITLE, "Delete"))
            orca.step(settle=0.5)
            press_until("Return", lambda: not program.no_message_box(), "Enter on Delete to ask")
            step("Enter on Delete: the question", ["Are you sure"])
            press_until("Return", lambda: program.status_text() == "Entry deleted successfully, data saved.",
                        "Enter on Ok")
            step("Enter on Ok", ["Entry deleted successfully, data saved."])
        except Exception as error:  # report what was heard up to here
            failures.append(f"the flow stopped: {error}")
            step("(stopped)")
        finally:
            program.stop()

    report.extend(f"FAILED: {f}" for f in failures)
    out.write_text("\n".join(report) + "\n")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
