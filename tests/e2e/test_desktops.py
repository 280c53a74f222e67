"""On GNOME's compositor, mutter: through its X server no launch shows the main window before the vault is open;
natively on Wayland the program unlocks, adds and copies, with its launcher entry's app id and one password dialog."""

import os
import re
import subprocess
import time

from gi.repository import Gio, GLib

import pyatspi
from harness import ARTIFACTS, MAIN_TITLE, BrisvaneTestCase, has_state, wait_for
from test_screenreader import Heard

DIALOG = "Password Required"


class MutterTest(BrisvaneTestCase):

    def serve(self, command, env, ready):
        process = subprocess.Popen(command, env=env, stdout=subprocess.DEVNULL,
                                   stderr=open(ARTIFACTS / f"{command[0]}{command[1]}.log", "ab"))
        self.addCleanup(lambda: process.kill() or process.wait(10))
        wait_for(ready, " ".join(command[:2]), timeout=60)

    def fill_and_press(self, program, window, boxes, button):
        for role, name, text in boxes:
            program.control(window, role, name).queryEditableText().setTextContents(text)
        program.button(window, button).queryAction().doAction(0)

    def test_x11_mainWindowIsNeverViewableBeforeThePasswordIsAccepted(self):
        number = next(n for n in range(200, 300) if not os.path.exists(f"/tmp/.X{n}-lock"))
        x = dict(os.environ, DISPLAY=f":{number}")
        answers = lambda tool: not subprocess.run([tool, "-m" if tool == "wmctrl" else "-queryExtensions"], env=x,  # noqa
                                                  capture_output=True).returncode
        self.serve(["Xvfb", x["DISPLAY"], "-nolisten", "tcp", "-noreset"], x, lambda: answers("xdpyinfo"))
        self.serve(["mutter", "--x11", "--replace"], x, lambda: answers("wmctrl"))
        viewable = lambda p, title: not subprocess.run(  # noqa: E731
            ["xdotool", "search", "--all", "--onlyvisible", "--pid", str(p.pid), "--name", f"^{title}$"], env=x,
            capture_output=True).returncode
        heard = Heard(self, "window", "object:state-changed:showing", "object:state-changed:visible")
        for master, launch in [(m, n) for m in ("", "master") for n in range(5)]:
            self.vault.unlink(missing_ok=True)
            self.write_vault(master) if master else None
            heard.events.clear()
            program = self.launch(env={"DISPLAY": x["DISPLAY"]})
            seen = []
            wait_for(lambda: seen.append(viewable(program, MAIN_TITLE)) or viewable(program, DIALOG), DIALOG)
            until = time.monotonic() + 0.5  # several ticks of the dialog's timer
            while time.monotonic() < until:
                seen.append(viewable(program, MAIN_TITLE))
            heard.pump(0.2)
            with self.subTest(master=master, launch=launch):
                self.assertNotIn(True, seen)
                self.assertEqual([e for e in heard.events if e[2] == MAIN_TITLE], [])
            if launch == 4:  # the same watch sees the main window once the password is accepted
                self.fill_and_press(program, DIALOG, [("password text", n, "master") for n in
                                                      ("Password", "Retype Password")[:1 if master else 2]], "Ok")
                wait_for(lambda: viewable(program, MAIN_TITLE), "the main window after the password")
            program.stop()

    def test_nativeWayland_unlocksAddsAndCopies(self):
        runtime = self.root / "runtime"
        runtime.mkdir(mode=0o700)
        wayland = {"XDG_RUNTIME_DIR": str(runtime), "WAYLAND_DISPLAY": "wl-brisvane"}
        env = {name: value for name, value in os.environ.items() if name != "DISPLAY"} | wayland
        self.serve(["mutter", "--wayland", "--headless", "--no-x11", "--virtual-monitor", "1280x1024",
                  "--wayland-display=wl-brisvane"], env, lambda: (runtime / "wl-brisvane").exists())
        keyboard = RemoteKeyboard()
        program = self.launch(env={"DISPLAY": None, "QT_QPA_PLATFORM": None, "WAYLAND_DEBUG": "client"} | wayland)
        for n in ("Password", "Retype Password"):
            program.control(DIALOG, "password text", n).queryEditableText().setTextContents("pw")
        # Enter on the focused Ok; the headless compositor may give the dialog the keyboard a moment late.
        box = wait_for(lambda: keyboard.press(0xFF0D) or program.message_box(timeout=2), "Enter on Ok")
        box.buttons["OK"].queryAction().doAction(0)
        self.fill_and_press(program, DIALOG, [("password text", n, "master") for n in ("Password", "Retype Password")],
                            "Ok")
        program.wait_status("Password created successfully")
        program.button(MAIN_TITLE, "Add").queryAction().doAction(0)
        self.fill_and_press(program, "Add an entry", [("text", "Username", "ann"), ("text", "Password", "pw3x"),
                                                      ("text", "Website", "example.org")], "Save")
        program.wait_rows(lambda rows: len(rows) == 1, "the new entry")
        program.entry_list().queryTable().addRowSelection(0)
        # A Wayland compositor takes a selection only from the window with the keyboard, which it hands back to the
        # main window a moment after the dialog has gone (a user's click on Copy gives it at once).
        wait_for(lambda: has_state(program.window(MAIN_TITLE), pyatspi.STATE_ACTIVE), "the main window's keyboard")
        program.button(MAIN_TITLE, "Copy Password").queryAction().doAction(0)
        program.wait_status("Copied Password pw3x")
        paste = lambda *o: subprocess.run(["wl-paste", "-n", *o], env=env, capture_output=True, text=True).stdout  # noqa
        self.assertEqual(paste(), "pw3x")
        self.assertIn("x-kde-passwordManagerHint", paste("--list-types").split())
        log = (self.home / program.log.name).read_text(errors="replace")
        self.assertEqual(set(re.findall(r'set_app_id\("([^"]*)"\)', log)), {"brisvane"})
        self.assertEqual(log.count(f'set_title("{DIALOG}")'), 1, "the dialog stays one window around the message")


class RemoteKeyboard:
    """Keys through mutter's remote desktop service; its keyboard is also what lets a client reach the clipboard."""

    def __init__(self):
        self.bus = Gio.bus_get_sync(Gio.BusType.SESSION)
        self.session = wait_for(lambda: self.call("/org/gnome/Mutter/RemoteDesktop", "CreateSession", None, "(o)"),
                                "mutter's remote desktop")[0]
        self.call(self.session, "Session.Start")
        self.press(0xFFE1)  # the seat has a keyboard from the first key on

    def call(self, path, method, arguments=None, reply=None):
        try:
            return self.bus.call_sync("org.gnome.Mutter.RemoteDesktop", path, "org.gnome.Mutter.RemoteDesktop" +
                                      ("." + method).rsplit(".", 1)[0], method.rsplit(".", 1)[-1], arguments,
                                      reply and GLib.VariantType(reply), Gio.DBusCallFlags.NONE, 5000, None).unpack()
        except GLib.Error:
            return None

    def press(self, keysym):
        for down in (True, False):
            self.call(self.session, "Session.NotifyKeyboardKeysym", GLib.Variant("(ub)", (keysym, down)))
