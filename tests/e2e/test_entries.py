"""The entry commands: add, edit, delete, copy and go to, each checked on screen, on the clipboard, in what the
desktop's opener receives, and in the vault file's bytes."""

import pyatspi

from harness import (MAIN_TITLE, BrisvaneTestCase, clipboard_targets, clipboard_text, click, has_state, key,
                     text_of, vault_bytes, wait_for)

MASTER = "master key"
SAVED = "Added new entry.  Data saved."


class EntryCommandsTest(BrisvaneTestCase):

    # The entry dialog, driven as a person does: click into a box, type, click Save.

    def open_entry_dialog(self, program, command, title):
        click(program.button(MAIN_TITLE, command))
        return program.window(title)

    def entry_box(self, program, title, name):
        return program.control(title, "text", name)

    def fill_entry(self, program, title, user, password, location):
        for name, value in (("Username", user), ("Password", password), ("Website", location)):
            self.type_into(self.entry_box(program, title, name), value, replace=True)

    def save_entry(self, program, title):
        click(program.button(title, "Save"))
        wait_for(lambda: not program.has_window(title), f"the {title!r} window to close after Save")

    def add_entry(self, program, entry):
        self.open_entry_dialog(program, "Add", "Add an entry")
        self.fill_entry(program, "Add an entry", *entry)
        self.save_entry(program, "Add an entry")

    def assert_saved(self, program, entries, status=SAVED):
        self.assertEqual(program.status_text(), status)
        self.assertEqual(program.rows(), [list(e) for e in entries])
        self.assertEqual(self.vault.read_bytes(), vault_bytes(MASTER, entries))
        self.assertEqual([f for f in self.folder_files() if not f.endswith(".lock")], ["Brisvane", "data.enc"],
                         "a save leaves no temporary file behind")

    def test_addEditDelete_eachStepRewritesWholeVaultInListOrder(self):
        program = self.unlocked(MASTER, [])
        self.assertEqual(self.vault.read_bytes(), vault_bytes(MASTER, []))

        entries = [("alice", "pw one", "www.example.org"),
                   ("Bob", "p|ss word", "/home/bob/notes.txt"),
                   ("carol", "\u20acuro \u00df", "")]  # the euro sign is stored as byte 0x00
        self.open_entry_dialog(program, "Add", "Add an entry")
        wait_for(lambda: has_state(program.button("Add an entry", "Cancel"), pyatspi.STATE_FOCUSED),
                 "the entry dialog to open with the focus on Cancel")
        self.fill_entry(program, "Add an entry", *entries[0])
        self.save_entry(program, "Add an entry")
        self.assert_saved(program, entries[:1])
        self.add_entry(program, entries[1])
        self.assert_saved(program, entries[:2])
        # Enter in the website box saves, once.
        self.open_entry_dialog(program, "Add", "Add an entry")
        self.fill_entry(program, "Add an entry", *entries[2])
        key("Return")
        wait_for(lambda: not program.has_window("Add an entry"), "Enter in the website box to save")
        self.assert_saved(program, entries)

        # Edit the second row: the dialog shows its fields, and Save writes into that row.
        program.select_row(1)
        self.open_entry_dialog(program, "Edit", "Edit an entry")
        shown = [text_of(self.entry_box(program, "Edit an entry", n)) for n in ("Username", "Password", "Website")]
        self.assertEqual(shown, list(entries[1]))
        self.type_into(self.entry_box(program, "Edit an entry", "Password"), "changed pw", replace=True)
        self.save_entry(program, "Edit an entry")
        entries[1] = ("Bob", "changed pw", "/home/bob/notes.txt")
        self.assert_saved(program, entries)

        # Delete the first row: Cancel keeps it, OK removes it.
        question = ("Are you sure you want to delete the following information?\r\n\r\n"
                    "Username: alice\r\nPassword: pw one\r\nUsed At: www.example.org")
        before = self.vault.read_bytes()
        program.select_row(0)
        click(program.button(MAIN_TITLE, "Delete"))
        box = program.message_box()
        self.assertEqual((box.title, box.text), ("Confirm Delete", question))
        self.assertEqual(sorted(box.buttons), ["Cancel", "OK"])
        box.press("Cancel")
        program.wait_status("Entry not deleted, cancelled by user")
        self.assertEqual(program.rows(), [list(e) for e in entries])
        self.assertEqual(self.vault.read_bytes(), before)

        click(program.button(MAIN_TITLE, "Delete"))
        program.message_box().press("OK")
        program.wait_status("Entry deleted successfully, data saved.")
        del entries[0]
        self.assert_saved(program, entries, "Entry deleted successfully, data saved.")

        # Deleting the last rows leaves the password line and the closing empty line. Enter in the question is OK.
        for answer in ("Return", "OK"):
            program.select_row(0)
            click(program.button(MAIN_TITLE, "Delete"))
            box = program.message_box(title="Confirm Delete")
            if answer == "Return":
                wait_for(lambda: has_state(box.buttons["OK"], pyatspi.STATE_FOCUSED), "OK to have the focus")
                key("Return")
            else:
                box.press("OK")
            wait_for(lambda: len(program.rows()) == len(entries) - 1, f"the row to go after {answer}")
            del entries[0]
        self.assert_saved(program, [], "Entry deleted successfully, data saved.")

    def test_commandsWithoutSelection_sayWhatIsMissing_andChangeNothing(self):
        program = self.unlocked(MASTER, [("alice", "pw", "www.example.org")])
        data = self.vault.read_bytes()
        for command, status in (("Edit", "You must first select an entry to edit."),
                                ("Delete", "You must first select an entry to delete."),
                                ("Go To", "You must first select an entry to go to."),
                                ("Copy Password", "You must first select a row to copy from.")):
            with self.subTest(command=command):
                click(program.button(MAIN_TITLE, command))
                program.wait_status(status)
                self.assertTrue(program.no_message_box())
                self.assertFalse(program.has_window("Edit an entry"))
        self.assertEqual(self.vault.read_bytes(), data)

    def test_copyButtons_putSelectedFieldOnClipboard_noSelectionEmptiesIt(self):
        entries = [("alice", "pw one", "www.example.org"), ("Bob", "\u20acuro \u00df <b>", "")]
        program = self.unlocked(MASTER, entries)
        data = self.vault.read_bytes()
        cases = [(1, "Copy Username", "Bob", "Copied Username Bob"),
                 (1, "Copy Password", "\u20acuro \u00df <b>", "Copied Password \u20acuro \u00df <b>"),
                 (1, "Copy Used At", "", "Copied Location "),
                 (0, "Copy Used At", "www.example.org", "Copied Location www.example.org")]
        for row, button, copied, status in cases:
            with self.subTest(row=row, button=button):
                program.select_row(row)
                click(program.button(MAIN_TITLE, button))
                program.wait_status(status)
                self.assertEqual(clipboard_text() or "", copied)
                # Clipboard managers of the desktop keep no history of what carries this hint.
                self.assertIn("x-kde-passwordManagerHint", clipboard_targets())

        # With no row selected, Copy empties the clipboard: the last password does not stay behind.
        program.select_row(1)
        click(program.button(MAIN_TITLE, "Copy Password"))
        program.wait_status("Copied Password \u20acuro \u00df <b>")
        program.select_row(1, modifiers=("ctrl",))
        wait_for(lambda: program.selected_rows() == [], "the row to be deselected")
        click(program.button(MAIN_TITLE, "Copy Password"))
        program.wait_status("You must first select a row to copy from.")
        self.assertIn(clipboard_text(), (None, ""))
        self.assertEqual(self.vault.read_bytes(), data, "copying saves nothing")

    def test_goToAndVisit_giveOpenerWebAddressWithScheme_andNeverAnOption(self):
        bin_folder = self.root / "bin"
        bin_folder.mkdir()
        record = self.root / "opened.txt"
        opener = bin_folder / "xdg-open"
        opener.write_text(f"#!/bin/sh\nprintf '%s\\n' \"$#\" \"$@\" >> '{record}'\n")
        opener.chmod(0o755)
        entries = [("alice", "pw", "www.example.org"), ("bob", "pw", "-rf notes; touch pwned"), ("carol", "pw", "")]
        self.write_vault(MASTER, entries)
        program = self.launch(extra_path=str(bin_folder))
        self.enter_password(program, MASTER)
        program.wait_status("Loaded 3 entries")

        program.select_row(0)
        click(program.button(MAIN_TITLE, "Go To"))
        program.wait_status("Opening Location...")
        lines = wait_for(lambda: record.exists() and record.read_text().splitlines(), "the opener to be run")
        self.assertEqual(lines, ["1", "http://www.example.org"])

        record.unlink()
        program.select_row(1)
        click(program.button(MAIN_TITLE, "Go To"))
        lines = wait_for(lambda: record.exists() and record.read_text().splitlines(), "the opener to be run")
        self.assertEqual(lines[0], "1", f"one argument, never split by a shell: {lines}")
        self.assertTrue(lines[1].startswith("file://"), f"a path reaches the opener as a file address: {lines}")
        self.assertFalse((self.folder / "pwned").exists())
        self.assertFalse((self.home / "pwned").exists())

        # An empty location opens the home folder, the file manager's own start.
        record.unlink()
        program.select_row(2)
        click(program.button(MAIN_TITLE, "Go To"))
        lines = wait_for(lambda: record.exists() and record.read_text().splitlines(), "the opener to be run")
        self.assertEqual(lines, ["1", f"file://{self.home}"])

        # The publisher's website goes to the desktop's opener too, as a web address.
        record.unlink()
        click(program.button(MAIN_TITLE, "Visit www.brisvane.example"))
        lines = wait_for(lambda: record.exists() and record.read_text().splitlines(), "the website to be opened")
        self.assertEqual(lines, ["1", "http://www.brisvane.example"])

    def test_goToAndVisit_openerWithoutHandler_isReportedWithItsWords(self):
        bin_folder = self.root / "bin"
        bin_folder.mkdir()
        opener = bin_folder / "xdg-open"
        opener.write_text("#!/bin/sh\nsleep 0.5\necho \"xdg-open: no method available for opening '$1'\" >&2\nexit 3\n")
        opener.chmod(0o755)
        self.write_vault(MASTER, [("alice", "pw", "www.example.org")])
        program = self.launch(extra_path=str(bin_folder))
        self.enter_password(program, MASTER)
        program.select_row(0)
        click(program.button(MAIN_TITLE, "Go To"))
        program.wait_status("Opening Location...")
        box = program.message_box()
        self.assertIn("http://www.example.org", box.text)
        self.assertIn("no method available for opening 'http://www.example.org'", box.text)
        box.press("OK")
        program.wait_status("Location not opened.")

        click(program.button(MAIN_TITLE, "Visit www.brisvane.example"))
        box = program.message_box()
        self.assertIn("no method available for opening 'http://www.brisvane.example'", box.text)
        box.press("OK")
        self.assertEqual(program.status_text(), "Location not opened.")

    def test_entryTheFileCannotHold_isRefusedNamingField_vaultUnchanged(self):
        entries = [("alice", "pw", "www.example.org")]
        program = self.unlocked(MASTER, entries)
        data = self.vault.read_bytes()
        self.open_entry_dialog(program, "Add", "Add an entry")

        click(program.button("Add an entry", "Save"))
        box = program.message_box()
        self.assertEqual((box.title, box.text), ("Error", "You must enter a username"))
        box.press("OK")

        refused = [("a|||b", "pw", "", "username"),
                   ("bob", "ends with|", "", "password"),
                   ("bob", "pw", "two|||fields", "website")]
        for user, password, location, field in refused:
            with self.subTest(user=user, password=password, location=location):
                self.fill_entry(program, "Add an entry", user, password, location)
                click(program.button("Add an entry", "Save"))
                box = program.message_box()
                self.assertIn(field, box.text.lower())
                box.press("OK")
                wait_for(program.no_message_box, "the message box to close")
                self.assertTrue(program.has_window("Add an entry"), "the dialog stays open with its text")
                self.assertEqual(text_of(self.entry_box(program, "Add an entry", "Username")), user)
                self.assertEqual(self.vault.read_bytes(), data)
                self.assertEqual(program.rows(), [list(e) for e in entries])

        click(program.button("Add an entry", "Cancel"))
        wait_for(lambda: not program.has_window("Add an entry"), "the entry dialog to close on Cancel")
        self.assertEqual(program.rows(), [list(e) for e in entries])
        self.assertEqual(self.vault.read_bytes(), data)

    def test_editDialog_followsItsEntryThroughSorting_andSaysSoWhenItWasDeleted(self):
        entries = [("carol", "c1", "www.carol.org"), ("alice", "a1", ""), ("bob", "b1", "")]
        program = self.unlocked(MASTER, entries)

        program.select_row(0)
        self.open_entry_dialog(program, "Edit", "Edit an entry")
        click(program.column_header("Username"))
        program.wait_rows(lambda rows: [r[0] for r in rows] == ["alice", "bob", "carol"], "the list sorted by name")
        # The dialog has no owner, so the click on the main window put it behind; the user brings it back.
        program.bring_to_front("Edit an entry")
        self.type_into(self.entry_box(program, "Edit an entry", "Password"), "c2", replace=True)
        self.save_entry(program, "Edit an entry")
        # The edit lands on carol, now the last row, and the file follows the order on screen.
        entries = [("alice", "a1", ""), ("bob", "b1", ""), ("carol", "c2", "www.carol.org")]
        self.assert_saved(program, entries)

        program.select_row(0)
        self.open_entry_dialog(program, "Edit", "Edit an entry")
        self.type_into(self.entry_box(program, "Edit an entry", "Password"), "typed meanwhile", replace=True)
        program.select_row(0)
        click(program.button(MAIN_TITLE, "Delete"))
        program.message_box(title="Confirm Delete").press("OK")
        program.wait_status("Entry deleted successfully, data saved.")
        del entries[0]
        saved = self.vault.read_bytes()
        self.assertEqual(saved, vault_bytes(MASTER, entries))
        program.bring_to_front("Edit an entry")

        click(program.button("Edit an entry", "Save"))
        box = program.message_box()
        self.assertIn("deleted", box.text)
        box.press("OK")
        wait_for(program.no_message_box, "the message box to close")
        self.assertTrue(program.has_window("Edit an entry"), "the dialog stays open")
        self.assertEqual(text_of(self.entry_box(program, "Edit an entry", "Password")), "typed meanwhile")
        self.assertEqual(program.rows(), [list(e) for e in entries], "no other entry was overwritten")
        self.assertEqual(self.vault.read_bytes(), saved)
