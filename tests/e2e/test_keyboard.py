"""The keyboard alone, as a person without a mouse works: Tab moves between the controls and Enter presses the button
that has the focus, once per stroke, in the password dialog, the main window and the entry dialog."""

import pyatspi

from harness import (MAIN_TITLE, BrisvaneTestCase, char_count, clipboard_text, has_state, key, type_text, vault_bytes,
                     wait_for)

MASTER = "master key"
ADD_TITLE = "Add an entry"


class KeyboardTest(BrisvaneTestCase):

    def press(self, name, then_focused, what):
        """Presses a key and waits until the control then_focused has the focus."""
        key(name)
        wait_for(lambda: has_state(then_focused, pyatspi.STATE_FOCUSED), f"{what} to have the focus after {name}")

    def type_here(self, box, text):
        count = char_count(box)
        type_text(text)
        wait_for(lambda: char_count(box) == count + len(text), f"{text!r} typed into {box.name!r}")

    def test_unlockAddAndCopy_withTabAndEnterOnly(self):
        entries = [("alice", "pw one", "www.example.org")]
        self.write_vault(MASTER, entries)
        program = self.launch()

        # The password dialog opens on Ok; Tab, Tab reaches the box, Tab goes back to Ok.
        ok = program.button("Password Required", "Ok")
        wait_for(lambda: has_state(ok, pyatspi.STATE_FOCUSED), "the password dialog to open on Ok")
        box = self.password_box(program)
        self.press("Tab", program.button("Password Required", "Cancel"), "Cancel")
        self.press("Tab", box, "the password box")
        self.type_here(box, MASTER)
        self.press("Tab", ok, "Ok")
        key("Return")
        program.wait_status("Loaded 1 entries")

        # The main window opens on Add. Enter opens the entry dialog, which opens on Cancel; the key's release
        # reaches Cancel and must not press it.
        add = program.button(MAIN_TITLE, "Add")
        wait_for(lambda: has_state(add, pyatspi.STATE_FOCUSED), "the main window to open on Add")
        key("Return")
        cancel = program.button(ADD_TITLE, "Cancel")
        wait_for(lambda: has_state(cancel, pyatspi.STATE_FOCUSED), "the entry dialog to open on Cancel")
        save = program.button(ADD_TITLE, "Save")
        self.press("Tab", save, "Save")
        added = ("bob", "pass word", "/home/bob")
        for name, value in zip(("Username", "Password", "Website"), added):
            field = program.control(ADD_TITLE, "text", name)
            self.press("Tab", field, f"the {name} box")
            self.type_here(field, value)
        self.press("Tab", cancel, "Cancel")
        self.press("Tab", save, "Save")
        key("Return")
        wait_for(lambda: not program.has_window(ADD_TITLE), "Enter on Save to close the dialog")
        program.wait_status("Added new entry.  Data saved.")
        entries.append(added)
        self.assertEqual(program.rows(), [list(e) for e in entries])
        self.assertEqual(self.vault.read_bytes(), vault_bytes(MASTER, entries), "saved once, in the file's format")

        # Back on Add: Tab to the list, End selects the last entry, Tab on to Copy Password, Enter copies it.
        wait_for(lambda: has_state(add, pyatspi.STATE_FOCUSED), "the focus to come back to Add")
        for name in ("Edit", "Delete", "Visit www.brisvane.example"):
            self.press("Tab", program.button(MAIN_TITLE, name), name)
        self.press("Tab", program.entry_list(), "the list")
        key("End")
        wait_for(lambda: program.selected_rows() == [1], "End to select the last entry")
        for name in ("Copy Username", "Go To", "Copy Password"):
            self.press("Tab", program.button(MAIN_TITLE, name), name)
        key("Return")
        program.wait_status("Copied Password pass word")
        self.assertEqual(clipboard_text(), "pass word")
        self.assertEqual(self.vault.read_bytes(), vault_bytes(MASTER, entries), "copying saves nothing")
