"""The clipboard holds only what a Copy command put there, and that outlives the program where the desktop runs a
clipboard manager."""

import subprocess
import sys

import pyatspi

from harness import (HERE, MAIN_TITLE, BrisvaneTestCase, click, clipboard_targets, clipboard_text, extents, has_state,
                     key, selection_text, wait_for, xdotool)

LONG_PASSWORD = "p\u00e4ss-" + "0123456789" * 600  # more than a list cell shows
ENTRIES = [("alice", LONG_PASSWORD, "www.example.org"), ("bob", "b-pass", "")]


class ClipboardTest(BrisvaneTestCase):

    def test_copyKeysInTheList_leaveTheClipboardAsItWas(self):
        program = self.unlocked("master", ENTRIES)
        program.select_row(0)
        click(program.button(MAIN_TITLE, "Copy Username"))
        program.wait_status("Copied Username alice")
        click(program.cell(0, 1))
        wait_for(lambda: has_state(program.entry_list(), pyatspi.STATE_FOCUSED), "the list to take the focus")
        key("ctrl+c", "ctrl+Insert", "Down")
        # Keys arrive in order: once Down has moved the selection, both copy keys have been answered.
        wait_for(lambda: program.selected_rows() == [1], "Down to select the second row")
        self.assertEqual(clipboard_text(), "alice")

    def test_copiedPassword_outlivesTheProgram_whereAClipboardManagerRuns(self):
        manager = subprocess.Popen([sys.executable, str(HERE / "clipboard_manager.py")], stdout=subprocess.PIPE,
                                   text=True)
        self.addCleanup(manager.wait, 10)
        self.addCleanup(manager.kill)
        self.assertEqual(manager.stdout.readline(), "ready\n", "the tests' clipboard manager (python3-xlib)")
        program = self.unlocked("master", ENTRIES)
        program.select_row(0)
        click(program.button(MAIN_TITLE, "Copy Password"))
        wait_for(lambda: program.status_text().startswith("Copied Password p\u00e4ss-"), "the password to be copied")
        program.menu("File", "Exit")
        self.assertEqual(program.wait_exit(), 0)
        wait_for(lambda: clipboard_text() == LONG_PASSWORD, "the manager to offer the whole password")
        self.assertIn("x-kde-passwordManagerHint", manager.stdout.readline().split(), "the secret mark goes along")

    def test_passwordShownInClear_neverOnPrimary_andCopiedOnlyAsSecret(self):
        program = self.unlocked("master", ENTRIES)
        program.select_row(1)
        click(program.button(MAIN_TITLE, "Edit"))
        box = program.control("Edit an entry", "text", "Password")
        subprocess.run(["xclip", "-selection", "primary"], input=b"before", timeout=10, check=True)
        # Selected with the mouse, then with the keys.
        e = extents(box)
        xdotool("mousemove", "--sync", str(e.x + 2), str(e.y + e.height // 2), "mousedown", "1")
        xdotool("mousemove", str(e.x + e.width - 2), str(e.y + e.height // 2), "mouseup", "1")
        for keys, selected in (((), (0, 6)), (("ctrl+a", "shift+Left"), (0, 5))):
            key(*keys) if keys else None
            wait_for(lambda: box.queryText().getNSelections() == 1 and
                     tuple(box.queryText().getSelection(0)) == selected, f"{selected} to be selected")
            self.assertNotIn("b-pas", selection_text("primary"))
        key("ctrl+c")
        wait_for(lambda: clipboard_text() == "b-pas", "the selection to be copied")
        self.assertIn("x-kde-passwordManagerHint", clipboard_targets())
        subprocess.run(["xclip", "-selection", "clipboard"], input=b"before", timeout=10, check=True)
        key("ctrl+x")
        wait_for(lambda: clipboard_text() == "b-pas", "the selection to be cut")
        self.assertIn("x-kde-passwordManagerHint", clipboard_targets())
