"""What a screen reader hears, read from the events on the accessibility bus that it acts on."""

import time

import pyatspi
from gi.repository import GLib

from harness import MAIN_TITLE, BrisvaneTestCase, click, has_state, key, type_text, wait_for

MASTER = "Secret1"
ENTRIES = [("bob", "Hunter2", "mail.example.org"), ("alice", "pw two", "")]


class Heard:
    """Every event of these types, as (type, role, name, detail1, text), in the order they came."""

    def __init__(self, test, *types):
        self.events = []
        pyatspi.Registry.registerEventListener(self.record, *types)
        test.addCleanup(pyatspi.Registry.deregisterEventListener, self.record, *types)

    def record(self, e):
        try:
            self.events.append((e.type, e.source.getRoleName(), e.source.name, e.detail1, str(e.any_data)))
        except Exception:  # the source is gone already
            pass

    def pump(self, seconds=0.0):
        end = time.monotonic() + seconds
        while GLib.MainContext.default().iteration(False) or time.monotonic() < end:
            pass

    def wait(self, what, match):
        return wait_for(lambda: self.pump() or next((e for e in self.events if match(e)), None), what)


class ScreenReaderTest(BrisvaneTestCase):

    def test_maskedBoxes_sayOnlyTheirMask_andTabIntoTheSecondSaysFocusFirst(self):
        heard = Heard(self, "object:text-changed", "object:text-caret-moved", "object:state-changed:focused")
        program = self.launch()
        self.type_into(self.password_box(program, "Password"), MASTER)
        key("BackSpace", "Tab")
        wait_for(lambda: has_state(self.password_box(program, "Retype Password"), pyatspi.STATE_FOCUSED), "Tab")
        type_text(MASTER)
        key("BackSpace")
        heard.wait("a deleted character", lambda e: e[0] == "object:text-changed:delete" and e[2] == "Retype Password")
        said = [e[4] for e in heard.events if e[0].startswith("object:text-changed") and e[1] == "password text"]
        self.assertEqual(set("".join(said)), {"*"}, said)
        # A reader that sees the caret move first goes there silently, and then takes the focus for old news.
        self.assertEqual(next(e for e in heard.events if e[2] == "Retype Password")[0], "object:state-changed:focused")

    def test_list_tabAndDown_focusEachRowThatSaysItsFields(self):
        heard = Heard(self, "object:state-changed:focused")
        for entries in (ENTRIES[:1], ENTRIES):
            program = self.unlocked(MASTER, entries)
            wait_for(lambda: has_state(program.button(MAIN_TITLE, "Add"), pyatspi.STATE_FOCUSED), "focus on Add")
            key("Tab", "Tab", "Tab", "Tab")
            for row, (user, password, location) in enumerate(entries):
                heard.events.clear()
                key("Down") if row else None
                heard.wait(f"row {row} to take the focus", lambda e: e[1:4] == ("table cell", user, 1))
                heard.pump(0.5)
                self.assertEqual([e[1:3] for e in heard.events if e[3] == 1][-1], ("table cell", user))
                # A reader reads the whole row of the focused cell, cell after cell.
                table = program.entry_list().queryTable()
                self.assertEqual([table.getAccessibleAt(row, c).name for c in range(3)],
                                 [user, f"Password {password}", f"Website/Location {location}"])
            program.stop()

    def test_statusTexts_areAnnouncedEachTime(self):
        heard = Heard(self, "object:state-changed:showing")
        program = self.unlocked(MASTER, ENTRIES)
        for button, text in [("Delete", "You must first select an entry to delete."),
                             ("Delete", "You must first select an entry to delete."),
                             ("Copy Username", "You must first select a row to copy from."),
                             ("Copy Password", "Copied Password Hunter2")]:
            heard.events.clear()
            program.select_row(0) if button == "Copy Password" else None
            click(program.button(MAIN_TITLE, button))
            program.wait_status(text)
            heard.wait(f"{text!r} announced", lambda e: e[1:4] == ("notification", text, 1))
