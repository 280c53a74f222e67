"""What a screen reader hears, read from the events on the accessibility bus that it acts on."""

import time

import pyatspi
from gi.repository import GLib

from harness import (MAIN_TITLE, BrisvaneTestCase, char_count, click, descendants, has_state, key, text_of, type_text,
                     wait_for)

MASTER = "Secret1"
ENTRIES = [("bob", "Hunter2", "mail.example.org"), ("alice", "pw two", "")]
NOT_SELECTED = "not selected, Space selects it"


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
        box = self.password_box(program, "Retype Password")
        count = char_count(box)
        self.assertEqual((text_of(box), box.queryText().getAttributeRun(count - 1, False)[1:]), ("", [0, count]))

    def test_list_tabAndDown_focusEachRowThatSaysItsFields(self):
        heard = Heard(self, "object:state-changed:focused")
        for entries in (ENTRIES[:1], ENTRIES):
            program = self.unlocked(MASTER, entries)
            wait_for(lambda: has_state(program.button(MAIN_TITLE, "Add"), pyatspi.STATE_FOCUSED), "focus on Add")
            key("Tab", "Tab", "Tab", "Tab")
            for row, (user, password, location) in enumerate(entries):
                heard.events.clear()
                key("Down") if row else None
                heard.wait(f"row {row} to take the focus", lambda e: e[1:4] == ("table cell", f"Username {user}", 1))
                heard.pump(0.5)
                self.assertEqual([e[1:3] for e in heard.events if e[3] == 1][-1], ("table cell", f"Username {user}"))
                # A reader reads the whole row of the focused cell, cell after cell; Tab reaches a row that is not
                # selected, Down selects the next.
                table = program.entry_list().queryTable()
                self.assertEqual([table.getAccessibleAt(row, c).name for c in range(3)],
                                 [f"Username {user}", f"Password {password}", f"Website/Location {location}"])
                self.assertEqual(program.cell(row, 0).description, "" if row else NOT_SELECTED)
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
            spoken = text.replace(" Hunter2", "")  # the password is shown, not read out
            heard.wait(f"{spoken!r} announced", lambda e: e[1:4] == ("notification", spoken, 1))

    def test_sortKeysInTheList_sortLikeHeaderClicks_andEverySortIsAnnounced(self):
        heard = Heard(self, "object:state-changed:showing")
        program = self.unlocked(MASTER, ENTRIES)
        program.select_row(0)
        for keys, users, spoken in [("ctrl+1", ["alice", "bob"], "Sorted by Username, ascending"),
                                    ("ctrl+1", ["bob", "alice"], "Sorted by Username, descending"),
                                    ("ctrl+3", ["alice", "bob"], "Sorted by Website/Location, ascending"),
                                    ("Password", ["alice", "bob"], "Sorted by Password, descending")]:
            key(keys) if keys.startswith("ctrl") else click(program.column_header(keys))
            program.wait_rows(lambda rows: [r[0] for r in rows] == users, f"{keys} to sort {users}")
            heard.wait(f"{spoken!r} announced", lambda e: e[1:4] == ("notification", spoken, 1))
            heard.events.clear()

    def test_confirmedDelete_bringsNoFocusEventFromTheList(self):
        heard = Heard(self, "object:state-changed:focused")
        program = self.unlocked(MASTER, ENTRIES)
        program.select_row(0)
        key("shift+Tab", "shift+Tab")
        wait_for(lambda: has_state(program.button(MAIN_TITLE, "Delete"), pyatspi.STATE_FOCUSED), "focus on Delete")
        key("Return")
        program.message_box("Confirm Delete")
        heard.events.clear()
        key("Return")
        program.wait_status("Entry deleted successfully, data saved.")
        heard.pump(1.0)
        self.assertFalse([e for e in heard.events if e[1] in ("table cell", "tree")], heard.events)

    def test_aboutWindow_isDescribedWhole_andNoCaptionIsReadTwice(self):
        program = self.unlocked(MASTER, [])
        program.menu("About", "About this software")
        about = program.window("About Brisvane")
        self.assertEqual(about.description,
                         "Brisvane, version 1.2, owned by Brisvane Software, website www.brisvane.example")
        said = " ".join(d.name for d in descendants(about, only_showing=True))
        self.assertEqual([said.count(c) for c in ("Version:", "Owned By:", "Website:")], [1, 1, 1], said)

    def test_textRuns_holdEveryCharacter_andHelpLinesAreTheLinesOnScreen(self):
        self.with_help_file()
        program = self.unlocked(MASTER, ENTRIES)
        view = wait_for(lambda: next((d for d in descendants(program.window("Readme/Help"))
                                      if d.getRoleName() == "document frame"), None), "the help text")
        self.assert_runs_hold(view, 40)
        # A paragraph that wraps is read line by line, as it shows.
        text, line = text_of(view), view.queryText().getTextAtOffset
        start = text.index("The first time you start Brisvane")
        lines = [line(start, pyatspi.TEXT_BOUNDARY_LINE_START)]
        while lines[-1][0][-1] != "\n":
            lines.append(line(lines[-1][2], pyatspi.TEXT_BOUNDARY_LINE_START))
        self.assertEqual(("".join(t for t, _, _ in lines), len(lines) > 1),
                         (text[start:text.index("\n", start) + 1], True))
        program.close_window("Readme/Help")
        click(program.button(MAIN_TITLE, "Add"))
        box = program.control("Add an entry", "text", "Username")
        self.type_into(box, "anna")
        self.assert_runs_hold(box, 4)

    def assert_runs_hold(self, acc, length):
        runs = [acc.queryText().getAttributeRun(offset, False)[1:] for offset in range(length)]
        self.assertEqual([o for o, (start, end) in enumerate(runs) if not start <= o < end], [], runs)
