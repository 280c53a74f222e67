"""The gate: creating the master password at the first start, and typing it at every later start."""

import pyatspi

from harness import (APP_TITLE, MAIN_TITLE, BrisvaneTestCase, char_count, children, enc, entry_line, has_state, key,
                     vault_bytes, wait_for)

CREATE_INTRO = ("Because this is the first time you have used Brisvane, you will need to create a master password.  "
                "This password will be required to open the program from now on, and can not be reset.")
WRONG = "Sorry, the password you entered was not correct."


class UnlockTest(BrisvaneTestCase):

    def test_firstStart_shortThenMismatchedThenGood_createsVaultWithPasswordLineOnly(self):
        program = self.launch()
        dialog = program.window("Password Required")
        intro = [l.name for l in children(dialog) if l.getRoleName() == "label"]
        self.assertTrue(any(t.startswith(CREATE_INTRO) for t in intro), intro)
        wait_for(lambda: has_state(program.button("Password Required", "Ok"), pyatspi.STATE_FOCUSED),
                 "the dialog to open with the focus on Ok")
        # The first start creates the file as one empty line, before anything is typed.
        self.assertEqual(self.vault.read_bytes(), b"\r\n")

        first = self.password_box(program, "Password")
        second = self.password_box(program, "Retype Password")
        self.type_into(first, "abc")
        self.type_into(second, "abc")
        self.press_ok(program)
        box = program.message_box()
        self.assertEqual((box.title, box.text), (APP_TITLE, "You must enter a password that is at least 4 characters "
                                                            "long"))
        self.assertEqual(sorted(box.buttons), ["OK"])
        box.press("OK")
        wait_for(program.no_message_box, "the message box to close")
        self.assertEqual((char_count(first), char_count(second)), (3, 3), "a short password keeps both boxes")

        self.type_into(first, "abcd", replace=True)
        self.type_into(second, "abcD", replace=True)
        self.press_ok(program)
        box = program.message_box()
        self.assertEqual((box.title, box.text), (APP_TITLE, "Your passwords did not match.  Please try again."))
        box.press("OK")
        wait_for(lambda: (char_count(first), char_count(second)) == (0, 0), "a mismatch to empty both boxes")
        self.assertEqual(self.vault.read_bytes(), b"\r\n", "nothing is written before a valid password")

        password = "Pa55 w\u00f6rd<b>"
        self.type_into(first, password)
        self.type_into(second, password)
        self.press_ok(program)
        program.wait_status("Password created successfully")
        self.assertFalse(program.has_window("Password Required"))
        self.assertEqual(program.rows(), [])
        self.assertEqual(self.vault.read_bytes(), enc(password) + b"\r\n")
        self.assertEqual(self.vault.read_bytes(), vault_bytes(password))

    def test_laterStart_wrongThenRightPassword_showsEntriesInFileOrder(self):
        master = "s3cret!"
        entries = [("carol", "Zeta", "www.carol.org"),
                   ("alice", "b\u00e9ta \u20ac5", "/home/alice/Documents"),  # the euro sign is stored as byte 0x00
                   ("Bob", "alpha", "")]
        # A line of one blank and an empty line among the entries are skipped.
        data = (enc(master) + b"\r\n" + entry_line(*entries[0]) + b" \r\n" + entry_line(*entries[1]) + b"\r\n" +
                entry_line(*entries[2]) + b"\r\n")
        self.vault.write_bytes(data)
        program = self.launch()
        self.assertEqual(program.control("Password Required", "label", "Please enter your password").name,
                         "Please enter your password")
        wait_for(lambda: not program.has_window(MAIN_TITLE), "the main window to stay hidden behind the gate")

        self.enter_password(program, "S3cret!")  # differs only in letter case
        box = program.message_box()
        self.assertEqual((box.title, box.text), ("Incorrect Password", WRONG))
        self.assertEqual(sorted(box.buttons), ["Cancel", "Retry"])
        box.press("Retry")
        wait_for(lambda: char_count(self.password_box(program)) == 0, "Retry to empty the password box")

        self.enter_password(program, master)
        program.wait_status("Loaded 3 entries")
        self.assertFalse(program.has_window("Password Required"))
        headers = [program.column_header(n).name for n in ("Username", "Password", "Website/Location")]
        self.assertEqual(headers, ["Username", "Password", "Website/Location"])
        self.assertEqual(program.rows(), [list(e) for e in entries])
        self.assertEqual(self.vault.read_bytes(), data, "unlocking writes nothing")

    def test_laterStart_threeWrongPasswordsWithRetry_endsAndLeavesFileAlone(self):
        data = self.write_vault("right one", [("u", "p", "l")])
        program = self.launch()
        for attempt in ("wrong 1", "wrong 2", "wrong 3"):
            # Enter in the box runs Ok once: a second run would count two tries or show two messages.
            self.enter_password(program, attempt, submit="Return")
            box = program.message_box(title="Incorrect Password")
            self.assertEqual(box.text, WRONG, attempt)
            box.press("Retry")
        box = program.message_box(title=APP_TITLE)
        self.assertEqual(box.text, "Only 3 tries allowed.  Click Ok to close.")
        self.assertEqual(sorted(box.buttons), ["OK"])
        self.assertTrue(program.running(), "the program waits for the last message to be answered")
        box.press("OK")
        self.assertEqual(program.wait_exit(), 0)
        self.assertEqual(self.vault.read_bytes(), data)
        self.assertEqual(self.folder_files(), ["Brisvane", "data.enc"], "nothing is left beside the vault")

    def test_laterStart_wrongPasswordCancelled_endsWithoutAnotherMessage(self):
        data = self.write_vault("right one", [("u", "p", "l")])
        program = self.launch()
        self.enter_password(program, "wrong")
        box = program.message_box()
        self.assertEqual(box.title, "Incorrect Password")
        box.press("Cancel")
        self.assertEqual(program.wait_exit(), 0)
        self.assertEqual(self.vault.read_bytes(), data)
        self.assertEqual(self.folder_files(), ["Brisvane", "data.enc"])

    def test_passwordDialog_closeBox_endsProgramInBothModes(self):
        for prepared in (None, vault_bytes("right one", [])):
            with self.subTest(mode="enter" if prepared else "create"):
                if prepared:
                    self.vault.write_bytes(prepared)
                program = self.launch()
                program.window("Password Required")
                program.close_window("Password Required")
                self.assertEqual(program.wait_exit(), 0)
                self.assertEqual(self.vault.read_bytes(), prepared or b"\r\n")

    def test_firstStart_passwordTheFileCannotHold_isRefusedAndNothingWritten(self):
        program = self.launch()
        first = self.password_box(program, "Password")
        second = self.password_box(program, "Retype Password")
        for refused in ("pass\u03a9word", "pass\u20ac\u0152\u4e2d"):
            with self.subTest(password=refused):
                self.type_into(first, refused, replace=True)
                self.type_into(second, refused, replace=True)
                self.press_ok(program)
                box = program.message_box()
                self.assertEqual(box.title, APP_TITLE)
                self.assertIn("master password", box.text)
                box.press("OK")
                program.window("Password Required")
                self.assertEqual(self.vault.read_bytes(), b"\r\n")
        self.type_into(first, "pass\u20acword", replace=True)
        self.type_into(second, "pass\u20acword", replace=True)
        key("Return")
        program.wait_status("Password created successfully")
        self.assertEqual(self.vault.read_bytes(), b"\xf0\xe1\xf3\xf3\x00\xf7\xef\xf2\xe4\r\n")

    def test_firstStart_fileWithEntriesButNoPassword_keepsTheEntries(self):
        entries = [("alice", "pw", "www.alice.org"), ("bob", "", "")]
        self.vault.write_bytes(b"\r\n" + b"".join(entry_line(*e) for e in entries))
        program = self.launch()
        self.create_password(program, "fresh start")
        self.assertEqual(program.rows(), [list(e) for e in entries])
        self.assertEqual(self.vault.read_bytes(), vault_bytes("fresh start", entries))
