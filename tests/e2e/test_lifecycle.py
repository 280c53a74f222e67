"""How the program ends, and how two copies on one vault keep out of each other's way."""

import os
import signal

from harness import APP_TITLE, MAIN_TITLE, BrisvaneTestCase, click

ENTRIES = [("alice", "a-pass", "www.alice.org"), ("bob", "b-pass", "")]


class LifecycleTest(BrisvaneTestCase):

    def test_endingTheMainWindow_byMenuOrCloseBox_endsProcessAndWritesNothing(self):
        ways = {
            "File > Exit": lambda program: program.menu("File", "Exit"),
            "close box": lambda program: program.close_window(MAIN_TITLE),
        }
        for way, close in ways.items():
            with self.subTest(way=way):
                program = self.unlocked("master", ENTRIES)
                data = self.vault.read_bytes()
                close(program)
                self.assertEqual(program.wait_exit(), 0)
                self.assertEqual(self.vault.read_bytes(), data)
                self.assertEqual(self.folder_files(), ["Brisvane", "data.enc"], "the vault's lock goes with it")

    def test_secondCopy_isRefusedWhileFirstRuns_thenKilledFirstsLockIsTakenOver(self):
        first = self.unlocked("master", ENTRIES)
        data = self.vault.read_bytes()
        stamp = self.vault.stat().st_mtime_ns

        second = self.launch()
        box = second.message_box()
        self.assertEqual(box.title, APP_TITLE)
        self.assertTrue(box.text.startswith("Brisvane is already open with this vault: ") or
                        box.text.startswith("Brisvane is already open with this vault:\r\n"), box.text)
        self.assertIn(str(self.vault), box.text)
        self.assertFalse(second.has_window(MAIN_TITLE))
        self.assertFalse(second.has_window("Password Required"))
        box.press("OK")
        self.assertEqual(second.wait_exit(), 1)
        self.assertEqual(self.vault.read_bytes(), data)
        self.assertEqual(self.vault.stat().st_mtime_ns, stamp, "the second copy never touched the file")
        self.assertTrue(first.running(), "the first copy goes on")
        self.assertEqual(first.status_text(), "Loaded 2 entries")

        # A crashed run leaves its lock behind; the next start must not be refused for it.
        os.kill(first.pid, signal.SIGKILL)
        first.wait_exit()
        third = self.launch()
        third.window("Password Required")
        self.assertTrue(third.no_message_box())
        self.enter_password(third, "master")
        third.wait_status("Loaded 2 entries")
        self.assertEqual(third.rows(), [list(e) for e in ENTRIES])

    def test_lockLeftByAnotherMachine_isTakenOverWhereNoOneHoldsTheVault(self):
        # A portable folder that another machine's copy left locked by a crash or an unplug.
        self.write_vault("master", ENTRIES)
        (self.folder / "data.enc.lock").write_bytes(b"4242\nBrisvane\nelsewhere\nc0ffee\nboot\n")
        program = self.launch()
        self.enter_password(program, "master")
        program.wait_status("Loaded 2 entries")
        self.assertTrue(program.no_message_box())

    def test_closingMainWindow_withEntryDialogOpen_endsAndSavesNothingTyped(self):
        program = self.unlocked("master", ENTRIES)
        data = self.vault.read_bytes()
        click(program.button(MAIN_TITLE, "Add"))
        self.type_into(program.control("Add an entry", "text", "Username"), "typed but never saved")
        program.close_window(MAIN_TITLE)
        self.assertEqual(program.wait_exit(), 0)
        self.assertEqual(self.vault.read_bytes(), data)
        self.assertEqual(self.folder_files(), ["Brisvane", "data.enc"])
