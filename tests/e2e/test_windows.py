"""The help window, its one setting, and the About window."""

import pyatspi

from harness import (MAIN_TITLE, BrisvaneTestCase, char_count, click, descendants, frame_geometry, has_state, key,
                     stacking_order, text_of, type_text, wait_for, x_window_ids)

HELP_TITLE = "Readme/Help"


class SecondaryWindowsTest(BrisvaneTestCase):

    def settings_text(self):
        files = sorted((self.home / "config").rglob("*.conf")) if (self.home / "config").exists() else []
        return "".join(f.read_text() for f in files)

    def show_at_startup(self, program):
        return program.control(HELP_TITLE, "check box", "Show at Startup")

    def assert_above(self, program, upper, lower):
        """Compares the two windows' places in the window manager's stacking order (bottom first)."""
        order = stacking_order()
        places = {}
        for title in (upper, lower):
            found = [order.index(w) for w in x_window_ids(program.pid, title) if w in order]
            self.assertTrue(found, f"the window manager does not stack a window {title!r}")
            places[title] = max(found)
        self.assertGreater(places[upper], places[lower], f"{upper!r} is not above {lower!r}")

    def test_helpWindow_firstStart_opensOnTopTicked_untickedItStaysClosedNextStart(self):
        self.with_help_file()
        program = self.launch()
        self.create_password(program, "master")
        program.main_window()
        program.window(HELP_TITLE)
        box = self.show_at_startup(program)
        self.assertTrue(has_state(box, pyatspi.STATE_CHECKED))
        view = wait_for(lambda: next((d for d in descendants(program.window(HELP_TITLE))
                                      if d.name == "Help" and "Text" in d.get_interfaces()), None),
                        "the help text")
        self.assertIn("Brisvane", text_of(view), "the help file is shown as text")
        # A screen reader meets a document and reads it to its end.
        self.assertEqual((view.getRoleName(), len(text_of(view))), ("document frame", char_count(view)))
        self.assertNotIn("showHelp", self.settings_text(), "opening the help window writes no setting")

        # It floats above the main window, also when the main window is brought to the front.
        self.assert_above(program, HELP_TITLE, MAIN_TITLE)
        program.bring_to_front(MAIN_TITLE)
        self.assert_above(program, HELP_TITLE, MAIN_TITLE)

        click(box)
        wait_for(lambda: not has_state(box, pyatspi.STATE_CHECKED), "the box to be unticked")
        wait_for(lambda: "showHelp=0" in self.settings_text(), "the setting 0 to be written at once")
        program.close_window(HELP_TITLE)
        wait_for(lambda: not program.has_window(HELP_TITLE), "the help window to close")
        self.assertIn("showHelp=0", self.settings_text(), "closing the window changes nothing")
        program.menu("File", "Exit")
        self.assertEqual(program.wait_exit(), 0)

        again = self.launch()
        self.enter_password(again, "master")
        again.wait_status("Loaded 0 entries")
        # The help window opens, if at all, before the password dialog goes.
        wait_for(lambda: not again.has_window("Password Required"), "the password dialog to go")
        self.assertFalse(again.has_window(HELP_TITLE), "unticked, the help window stays closed at start")

        again.menu("Help", "View Help")
        again.window(HELP_TITLE)
        self.assertFalse(has_state(self.show_at_startup(again), pyatspi.STATE_CHECKED))
        self.assertIn("showHelp=0", self.settings_text())

    def test_aboutWindow_showsProductVersionCompanyAndWebsite(self):
        program = self.unlocked("master", [])
        # Without Help.rtf beside the program, View Help shows nothing; the About window opened after it is proof
        # that the request has been handled.
        program.menu("Help", "View Help")
        program.menu("About", "About this software")
        about = program.window("About Brisvane")
        self.assertFalse(program.has_window(HELP_TITLE))
        labels = [d.name for d in descendants(about, only_showing=True)
                  if d.getRoleName() in ("label", "link") and d.name]
        self.assertIn("Brisvane", labels)
        self.assertTrue(any(name.split()[-1] == "1.2" for name in labels), f"no version 1.2 in {labels}")
        self.assertTrue(any(name.endswith("Brisvane Software") for name in labels), labels)
        self.assertTrue(any(name.endswith("www.brisvane.example") for name in labels), labels)

        # A second request brings the same window to the front instead of opening another one.
        program.menu("About", "About this software")
        program.window("About Brisvane")
        self.assertEqual(len([w for w in program.windows() if w.name == "About Brisvane"]), 1)

    def test_everyWindow_atScaleTwo_fitsTheScreenWithItsTitleBar(self):
        self.with_help_file()
        program = self.launch(env={"QT_SCALE_FACTOR": "2"})
        # Keys only: the accessibility bus reports places unscaled.
        program.bring_to_front("Password Required")
        for run in ("Tab", "Tab", "master", "Tab", "master", "Tab", "Return"):
            key(run) if run[0].isupper() else type_text(run)
        program.window(HELP_TITLE)
        for title in (MAIN_TITLE, HELP_TITLE):
            for window in x_window_ids(program.pid, title):
                x, y, width, height = frame_geometry(window)
                self.assertTrue(x >= 0 and y >= 0 and x + width <= 1280 and y + height <= 1024,
                                f"{title!r} at {x},{y} sized {width}x{height} leaves the 1280x1024 screen")
        # The help window's content scrolls: its check box can be reached, and it works.
        program.bring_to_front(HELP_TITLE)
        key("Tab", "space")
        wait_for(lambda: "showHelp=0" in self.settings_text(), "the box to be unticked")
