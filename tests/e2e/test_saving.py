"""Saves that the disk refuses: nothing typed is lost, and nothing claims to be saved that is not.

The vault and its folder are made immutable (chattr +i), which even root cannot write through; that needs root
and a file system with the attribute, so these tests are skipped elsewhere."""

import os
import shutil
import subprocess

from harness import APP_TITLE, MAIN_TITLE, BrisvaneTestCase, click, key, vault_bytes, wait_for

MASTER = "master"
SAVED = "Added new entry.  Data saved."


class RefusedSaveTest(BrisvaneTestCase):

    def freeze(self, *paths):
        """Makes the paths immutable until the test ends."""
        if os.geteuid() != 0:
            self.skipTest("making a file immutable needs root")
        for path in paths:
            result = subprocess.run(["chattr", "+i", str(path)], capture_output=True, text=True, timeout=10)
            if result.returncode != 0:
                self.skipTest(f"chattr +i is not available here: {result.stderr.strip()}")
            self.addCleanup(self.thaw, path)

    def thaw(self, *paths):
        for path in paths:
            subprocess.run(["chattr", "-i", str(path)], check=True, timeout=10)

    def add_entry(self, program, user, password):
        click(program.button(MAIN_TITLE, "Add"))
        program.window("Add an entry")
        self.type_into(program.control("Add an entry", "text", "Username"), user)
        self.type_into(program.control("Add an entry", "text", "Password"), password)
        click(program.button("Add an entry", "Save"))

    def test_refusedSave_keepsChangeAndSaysSo_closingRetriesThenAsks(self):
        kept = [("alice", "pw1", "www.alice.org")]
        program = self.unlocked(MASTER, kept)
        data = self.vault.read_bytes()
        self.freeze(self.vault, self.folder)

        self.add_entry(program, "bob", "pw2")
        box = program.message_box()
        self.assertEqual(box.title, APP_TITLE)
        self.assertIn("not be saved", box.text)
        box.press("OK")
        wait_for(lambda: not program.has_window("Add an entry"), "the entry dialog to close")
        self.assertNotEqual(program.status_text(), SAVED, "a failed save is never reported as saved")
        self.assertIn("not saved", program.status_text())
        self.assertEqual(program.rows(), [["alice", "pw1", "www.alice.org"], ["bob", "pw2", ""]])
        self.assertEqual(self.vault.read_bytes(), data)

        # Closing tries once more; while that fails too, the user decides, and Enter keeps everything.
        program.menu("File", "Exit")
        box = program.message_box()
        self.assertEqual((box.title, sorted(box.buttons)), (APP_TITLE, ["OK"]))
        self.assertIn("not be saved", box.text)
        box.press("OK")
        box = program.message_box(title="Not saved")
        self.assertIn("could not be saved", box.text)
        self.assertEqual(sorted(box.buttons), ["Cancel", "OK"])
        key("Return")  # the default keeps the change: the window stays open
        wait_for(program.no_message_box, "the question to close")
        self.assertTrue(program.running())
        self.assertEqual(len(program.rows()), 2)

        # Once the disk takes it again, closing saves everything that was kept.
        self.thaw(self.vault, self.folder)
        program.menu("File", "Exit")
        self.assertEqual(program.wait_exit(), 0)
        self.assertEqual(self.vault.read_bytes(), vault_bytes(MASTER, kept + [("bob", "pw2", "")]))

    def test_createPassword_vaultCannotBeWritten_saysWhyAndEndsWithFileAsItWas(self):
        self.vault.write_bytes(b"\r\n")
        self.freeze(self.vault, self.folder)
        program = self.launch()
        # A folder that refuses the lock file is not taken for a second copy: the gate opens as usual.
        first = self.password_box(program, "Password")
        self.type_into(first, "new master")
        self.type_into(self.password_box(program, "Retype Password"), "new master")
        self.press_ok(program)
        box = program.message_box()
        self.assertEqual(box.title, APP_TITLE)
        self.assertTrue(box.text, "the message says why")
        box.press("OK")
        self.assertEqual(program.wait_exit(), 1, "a start that could not make the vault fails")
        self.assertEqual(self.vault.read_bytes(), b"\r\n")

    def test_folderTakesNoLockFile_secondCopyIsRefused_firstCopysSavesAllKept(self):
        # No lock file can be made beside the vault: the first copy locks the vault file itself, so a second copy is
        # refused as usual instead of running beside it and overwriting its saves.
        kept = [("alice", "pw1", "www.alice.org")]
        self.write_vault(MASTER, kept)
        self.freeze(self.folder)
        first = self.launch()
        self.enter_password(first, MASTER)
        first.wait_status("Loaded 1 entries")

        second = self.launch()
        box = second.message_box()
        self.assertTrue(box.text.startswith("Brisvane is already open with this vault:"), box.text)
        box.press("OK")
        self.assertEqual(second.wait_exit(), 1)

        self.add_entry(first, "bob", "pw2")
        first.wait_status(SAVED)
        self.assertEqual(self.vault.read_bytes(), vault_bytes(MASTER, kept + [("bob", "pw2", "")]))
        first.menu("File", "Exit")
        self.assertEqual(first.wait_exit(), 0)

    def test_copyStartedWithoutALock_takesOneWithItsFirstSave(self):
        (self.folder / "data.enc.lock").mkdir()
        first = self.launch()
        box = first.message_box()
        self.assertIn("could not lock", box.text)
        box.press("OK")
        self.create_password(first, MASTER)
        self.add_entry(first, "a1", "p")
        first.wait_status(SAVED)
        second = self.launch()
        self.assertTrue(second.message_box().text.startswith("Brisvane is already open with this vault:"))
        second.stop()
        self.add_entry(first, "a2", "p")
        first.wait_status(SAVED)
        self.assertEqual(self.vault.read_bytes(), vault_bytes(MASTER, [("a1", "p", ""), ("a2", "p", "")]))

    def test_vaultMovedUnderTheProgram_saveRefusedAndChangeKept(self):
        first = self.unlocked(MASTER, [])
        self.folder.rename(self.root / "moved")
        self.folder.mkdir()
        shutil.copy2(self.root / "moved" / "Brisvane", self.folder / "Brisvane")
        second = self.unlocked(MASTER, [])
        self.add_entry(second, "fromB", "p")
        second.wait_status(SAVED)
        second.stop()
        data = self.vault.read_bytes()
        self.add_entry(first, "fromA", "p")
        box = first.message_box()
        self.assertIn("is no longer the vault file that Brisvane opened", box.text)
        box.press("OK")
        self.assertEqual(self.vault.read_bytes(), data)
        wait_for(lambda: first.rows() == [["fromA", "p", ""]], "the change to be kept")
