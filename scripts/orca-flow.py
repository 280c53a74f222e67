"""Goes through one session with the keyboard alone while Orca runs and notes when each step ended; afterwards,
writes what Orca spoke in each step. Started by scripts/orca-check:
    orca-flow.py run MARKS_FILE                           inside the X session, while Orca runs
    orca-flow.py report ORCA_DEBUG_FILE MARKS_FILE OUT    once Orca has ended"""

import json
import re
import sys
import tempfile
import time
from datetime import datetime
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parent.parent / "tests" / "e2e"))

import pyatspi  # noqa: E402

from harness import (BUILD, MAIN_TITLE, REPO, Brisvane, WaitTimeout, char_count, has_state, key, type_text,
                     wait_for, xdotool)  # noqa: E402

MASTER = "Secret1"
MISTYPED = "Secret2"
ENTRIES = [("bob", "Hunter2", "mail.example.org"), ("alice", "pw two", "home/alice")]
SPOKEN = re.compile(r"^(\d\d:\d\d:\d\d\.\d+) - SPEECH OUTPUT: '(.*?)' ?\{", re.S | re.M)


class Steps:
    """The flow's steps with the time each ended. Orca writes its debug file in blocks, so what it spoke is sorted
    into the steps by the times in that file once Orca has ended (see report())."""

    def __init__(self):
        self.marks = []

    def step(self, title, must_hear=(), must_not_hear=(), settle=2.0, once=False):
        """once: nothing may be said twice in the step (each line of a text read once)."""
        time.sleep(settle)  # Orca speaks a second or so after the event
        self.marks.append([datetime.now().strftime("%H:%M:%S.%f"), title, list(must_hear), list(must_not_hear), once])


def report(debug_file, marks_file, out):
    """Writes what Orca spoke in each step, and what was missed or heard amiss; returns the number of misses."""
    log = Path(debug_file).read_text("utf-8", "replace")
    spoken = [(m.group(1), m.group(2)) for m in SPOKEN.finditer(log) if m.group(2).strip()]
    lines, failures, begin = [], [], ""
    for end, title, must_hear, must_not_hear, once in json.loads(Path(marks_file).read_text()):
        said = [text for when, text in spoken if begin <= when < end]
        begin = end
        lines.append(f"== {title}")
        lines.extend(f"   {text}" for text in said)
        # A character is heard when Orca says it alone; a longer text, when Orca says it anywhere.
        heard = lambda w: w in (s.strip() for s in said) if len(w) == 1 else w in "\n".join(said)
        failures.extend(f"{title}: not heard {w!r}" for w in must_hear if not heard(w))
        failures.extend(f"{title}: heard {w!r}" for w in must_not_hear if heard(w))
        failures.extend(f"{title}: heard twice {w!r}" for w in sorted(set(said)) if once and said.count(w) > 1)
    lines.extend(f"MISSED: {f}" for f in failures)
    Path(out).write_text("\n".join(lines) + "\n")
    return len(failures)


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


def tab_to(acc, name="Tab"):
    """Presses Tab (or another key) until the control has the focus, at most six times."""
    for _ in range(6):
        key(name)
        try:
            return wait_for(lambda: focused(acc), f"the focus on {acc.name!r}", timeout=2, shot=False)
        except WaitTimeout:
            pass
    wait_for(lambda: focused(acc), f"the focus on {acc.name!r}")


def type_here(box, text):
    """Types at about a person's pace: typed at machine speed, the keys' echoes flood Orca, which then drops what
    it deems less urgent, a notification among them."""
    count = char_count(box)
    xdotool("type", "--delay", "150", "--", text)
    wait_for(lambda: char_count(box) == count + len(text), f"{text!r} typed")


def main():
    if sys.argv[1] == "report":
        return 1 if report(*sys.argv[2:5]) else 0
    steps, marks = Steps(), Path(sys.argv[2])
    step = steps.step

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
            type_here(retype, MISTYPED)
            press_until("Return", lambda: not program.no_message_box(), "Enter to be told of the mismatch")
            step(f"typing {MISTYPED!r}, Enter: they differ", ["did not match"], ["selected", "ecret"] + list(MISTYPED))
            press_until("Return", program.no_message_box, "Enter on Ok")
            if not has_state(program.window(dialog), pyatspi.STATE_ACTIVE):  # the keys would go nowhere
                step("(the password dialog is not active again; the flow activates it)", ["(active)"])
                xdotool("search", "--onlyvisible", "--pid", str(program.pid), "--name", dialog, "windowactivate")
            tab_to(box, "shift+Tab")
            type_here(box, MASTER)
            press("Tab", retype)
            type_here(retype, MASTER)
            step(f"typing {MASTER!r} in both", must_not_hear=["Secret", "ecret"] + list(MASTER))
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
                step("(moving there)", settle=1.0)
                press("Return")
                wait_for(lambda: focused(add), "the focus back on Add")
                step(f"Enter on Save: {user} added", ["Added new entry.  Data saved."])

            entry_list = program.entry_list()
            for name in ("Edit", "Delete", "Visit www.brisvane.example"):
                press("Tab", program.button(MAIN_TITLE, name))
            step("(moving there)", settle=1.0)
            press("Tab", entry_list)
            step("Tab into the list: bob, not selected", ["Username bob", "Password Hunter2", "not selected"])
            press("Down")
            step("Down", ["Username alice", "Password pw two", "Website/Location home/alice"], ["not selected"])
            press("Up")
            step("Up", ["Username bob", "Password Hunter2"], ["not selected"])
            for n, column in enumerate(("Username", "Password", "Website/Location"), 1):
                for order in ("ascending", "descending"):
                    press(f"ctrl+{n}")
                    step(f"Ctrl+{n}", [f"Sorted by {column}, {order}"])

            tab_to(program.button(MAIN_TITLE, "Edit"), "shift+Tab")
            press_until("Return", lambda: program.has_window("Edit an entry"), "Enter on Edit")
            for name, value in zip(("Username", "Password", "Website"), ENTRIES[0]):
                tab_to(program.control("Edit an entry", "text", name))
                step(f"(Enter on Edit,) Tab into the {name} box", [value], ["unselected", "Selection deleted"])
            tab_to(program.button("Edit an entry", "Cancel"))
            press_until("Return", lambda: not program.has_window("Edit an entry"), "Enter on Cancel")
            step("Tab, Enter on Cancel", settle=1.0)

            tab_to(entry_list)
            tab_to(program.button(MAIN_TITLE, "Copy Username"))
            step("(moving there)", settle=1.0)
            press_until("Return", lambda: program.status_text() == "Copied Username bob", "Enter on Copy Username")
            step("Enter on Copy Username", ["Copied Username bob"])
            tab_to(program.button(MAIN_TITLE, "Copy Password"))
            press_until("Return", lambda: program.status_text() == "Copied Password Hunter2", "Enter on Copy Password")
            step("Tab, Tab, Enter on Copy Password", ["Copied Password"], ["Hunter2"])

            tab_to(entry_list, "shift+Tab")
            step("Shift+Tab into the list: bob, selected", ["Username bob"], ["not selected"], settle=1.5)
            press_until("ctrl+space", lambda: program.selected_rows() == [], "Ctrl+Space to clear the selection")
            step("Ctrl+Space: bob is no longer selected", ["unselected"])
            press("shift+Tab")
            press("shift+Tab", program.button(MAIN_TITLE, "Delete"))
            step("(moving there)", settle=1.0)
            press_until("Return", lambda: program.status_text() == "You must first select an entry to delete.",
                        "Enter on Delete")
            step("Enter on Delete with nothing selected", ["You must first select an entry to delete."])

            press("Tab")
            press("Tab", entry_list)
            step("Tab into the list: bob, not selected", ["Username bob", "not selected"], settle=1.5)
            press_until("space", lambda: program.selected_rows() == [0], "Space to select bob")
            step("Space: bob is selected", ["selected"], ["not selected"])
            press("shift+Tab")
            press("shift+Tab", program.button(MAIN_TITLE, "Delete"))
            step("(moving there)", settle=1.0)
            press_until("Return", lambda: not program.no_message_box(), "Enter on Delete to ask")
            step("Enter on Delete: the question", ["Are you sure"])
            press_until("Return", lambda: program.status_text() == "Entry deleted successfully, data saved.",
                        "Enter on Ok")
            step("Enter on Ok", ["Entry deleted successfully, data saved."], ["Entries", "alice", "pw two"])
            # Orca's own command (Orca key with Enter on the keypad, twice) reads the status bar again.
            xdotool("key", "--delay", "150", "Insert+KP_Enter", "Insert+KP_Enter")
            step("Orca's status bar command: the last status again", ["Entry deleted successfully, data saved."])

            # Alt reaches the menu bar on File, Left goes round to About and then Help, Down opens, Enter picks.
            xdotool("key", "--delay", "400", "alt", "Left", "Down", "Return")
            program.window("About Brisvane")
            step("Alt, Left, Down, Enter: the About window",
                 ["version 1.2", "owned by Brisvane Software", "website www.brisvane.example"], ["Version: Version:"])
            press_until("alt+F4", lambda: not program.has_window("About Brisvane"), "Alt+F4 to close it")
            (folder / "Help.rtf").write_bytes((REPO / "assets" / "Help.rtf").read_bytes())
            xdotool("key", "--delay", "400", "alt", "Left", "Left", "Down", "Return")
            program.window("Readme/Help")
            step("Alt+F4; Alt, Left, Left, Down, Enter: the help window", ["Brisvane Help"])
            xdotool("key", "--delay", "1200", *["Down"] * 11)
            step("Down eleven times", ["Starting for the first time", "you start the program"], once=True)
        except Exception as error:  # what was heard up to here is still reported
            step(f"(the flow stopped: {error})", must_hear=["(the whole flow)"])
        finally:
            program.stop()
            marks.write_text(json.dumps(steps.marks))
    return 0


if __name__ == "__main__":
    sys.exit(main())
