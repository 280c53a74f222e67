"""Drives the real Brisvane binary in the X session that run-all starts.

Input is real: xdotool moves the pointer to the screen coordinates that the accessibility bus reports and clicks
or types there. Everything is read back the way a screen reader reads it (AT-SPI names, roles, texts and states)
and through the bytes of the vault file. Every wait polls with a deadline; every process is ended by its id.
"""

import os
import shutil
import signal
import subprocess
import tempfile
import time
import unittest
from pathlib import Path

import pyatspi

HERE = Path(__file__).resolve().parent
REPO = HERE.parent.parent
BUILD = Path(os.environ.get("BRISVANE_BUILD", REPO / "build")).resolve()
ARTIFACTS = Path(os.environ.get("E2E_ARTIFACTS", BUILD / "e2e-artifacts"))

MAIN_TITLE = "Brisvane by Brisvane Software"
APP_TITLE = "Brisvane Full"
POLL = 0.05
WAIT = 15.0
# A test that still runs after this many seconds is stopped and counted as failed.
TEST_LIMIT = 120

TOP_LEVEL_ROLES = ("frame", "dialog", "alert", "filler", "window")


class WaitTimeout(AssertionError):
    pass


class ProgramEnded(AssertionError):
    """The program is gone while a test still waits for it: no point in waiting any longer."""


# --- the vault file's bytes -----------------------------------------------------------------------------------


def enc(text):
    """A line's stored form: the Windows-1252 bytes with bit 7 of each flipped."""
    return bytes(b ^ 0x80 for b in text.encode("cp1252"))


def entry_line(user, password, location):
    return enc(f"{user}|||{password}|||{location}") + b"\r\n"


def vault_bytes(master, entries=None):
    """The file as a full save writes it; with entries=None, as creating the master password writes it."""
    data = enc(master) + b"\r\n"
    if entries is None:
        return data
    for entry in entries:
        data += entry_line(*entry)
    return data + b"\r\n"


# --- waiting and input ------------------------------------------------------------------------------------------


def screenshot(label):
    """Saves the whole screen for a failure's report, where ImageMagick is installed; returns the file or None."""
    if not shutil.which("import"):
        return None
    ARTIFACTS.mkdir(parents=True, exist_ok=True)
    path = ARTIFACTS / f"{label}.png"
    subprocess.run(["import", "-window", "root", str(path)], timeout=20, check=False,
                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    return path if path.exists() else None


def wait_for(probe, what, timeout=WAIT, shot=True):
    """Polls probe() until it returns something truthy; fails with a screenshot when the deadline passes."""
    deadline = time.monotonic() + timeout
    last_error = None
    while True:
        try:
            value = probe()
            if value:
                return value
        except ProgramEnded:
            raise
        except Exception as error:  # a window going away mid-read is just "not yet"
            last_error = error
        if time.monotonic() >= deadline:
            picture = screenshot(f"timeout-{int(time.time() * 1000)}") if shot else None
            screen = f"; screen: {picture}" if picture else ""
            detail = f" (last error: {last_error!r})" if last_error else ""
            raise WaitTimeout(f"timed out after {timeout:.0f} s waiting for {what}{detail}{screen}")
        time.sleep(POLL)


def xdotool(*args):
    subprocess.run(["xdotool", *args], check=True, timeout=20)


def extents(acc):
    return acc.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)


def centre(acc):
    e = extents(acc)
    if e.width <= 0 or e.height <= 0:
        raise AssertionError(f"{acc.getRoleName()} {acc.name!r} has no area on screen")
    return e.x + e.width // 2, e.y + e.height // 2


def pointer():
    """Where the pointer is. xdotool reports a failure when no window lies under it, but still prints X and Y."""
    out = subprocess.run(["xdotool", "getmouselocation", "--shell"], capture_output=True, text=True,
                         timeout=10).stdout
    values = dict(line.split("=", 1) for line in out.split() if "=" in line)
    return (int(values["X"]), int(values["Y"])) if "X" in values and "Y" in values else None


_last_click = {"at": None, "time": 0.0}
# Two clicks on one spot closer together than this are a double click to Qt (its interval is 400 ms).
DOUBLE_CLICK_GAP = 0.6


def click_at(x, y, modifiers=()):
    """One single click, as a person makes it: a second click on the same spot waits out the double-click time."""
    since = time.monotonic() - _last_click["time"]
    if _last_click["at"] == (x, y) and since < DOUBLE_CLICK_GAP:
        time.sleep(DOUBLE_CLICK_GAP - since)
    # "mousemove --sync" waits for the pointer to arrive, which it never does when it is there already.
    if pointer() != (x, y):
        xdotool("mousemove", "--sync", str(x), str(y))
    for key in modifiers:
        xdotool("keydown", key)
    try:
        xdotool("click", "1")
    finally:
        for key in reversed(modifiers):
            xdotool("keyup", key)
        _last_click.update(at=(x, y), time=time.monotonic())


def click(acc, modifiers=()):
    click_at(*centre(acc), modifiers=modifiers)


def text_runs(text):
    """Splits text into runs of ASCII and single other characters, the units in which type_into types."""
    runs = []
    for ch in text:
        if ord(ch) < 128 and runs and ord(runs[-1][-1]) < 128:
            runs[-1] += ch
        else:
            runs.append(ch)
    return runs


def type_text(text):
    """Types into the focused control. Characters outside ASCII go as key symbols: xdotool's "type" drops them."""
    for run in text_runs(text):
        if ord(run[0]) < 128:
            xdotool("type", "--delay", "12", "--", run)
        else:
            xdotool("key", f"U{ord(run):04X}")


def key(*names):
    xdotool("key", "--delay", "30", *names)


def clipboard_text():
    """The X clipboard as another program reads it, or None when it holds no text."""
    result = subprocess.run(["xclip", "-o", "-selection", "clipboard"], capture_output=True, timeout=10)
    return result.stdout.decode("utf-8") if result.returncode == 0 else None


def selection_text(selection):
    """What another program reads from an X selection ("primary", "clipboard"); empty when none owns it."""
    result = subprocess.run(["xclip", "-o", "-selection", selection], capture_output=True, timeout=10)
    return result.stdout.decode("utf-8", "replace") if result.returncode == 0 else ""


def clipboard_targets():
    """The formats that the clipboard's owner offers, as another program asks for them; empty when none owns it."""
    result = subprocess.run(["xclip", "-o", "-selection", "clipboard", "-t", "TARGETS"], capture_output=True,
                            timeout=10)
    return result.stdout.decode("utf-8", "replace").split() if result.returncode == 0 else []


def x_window_ids(pid, title):
    result = subprocess.run(["xdotool", "search", "--all", "--pid", str(pid), "--name", f"^{title}$"],
                            capture_output=True, text=True, timeout=10)
    return [int(w) for w in result.stdout.split()]


def frame_geometry(window):
    """The window on the screen with the window manager's frame around it: x, y, width, height."""
    out = subprocess.run(["xwininfo", "-frame", "-id", str(window)], capture_output=True, text=True, check=True,
                         timeout=10).stdout
    values = dict(line.strip().split(": ", 1) for line in out.splitlines() if ": " in line)
    return tuple(int(values[k]) for k in ("Absolute upper-left X", "Absolute upper-left Y", "Width", "Height"))


def stacking_order():
    """X window ids from the bottom of the stack to the top, as the window manager keeps them."""
    out = subprocess.run(["xprop", "-root", "_NET_CLIENT_LIST_STACKING"], capture_output=True, text=True,
                         timeout=10).stdout
    _, _, ids = out.partition("#")
    return [int(w.strip(), 16) for w in ids.split(",") if w.strip()]


# --- the accessibility tree -------------------------------------------------------------------------------------


def has_state(acc, state):
    return acc.getState().contains(state)


def showing(acc):
    return has_state(acc, pyatspi.STATE_SHOWING)


def children(acc):
    return [c for c in (acc.getChildAtIndex(i) for i in range(acc.childCount)) if c is not None]


def descendants(acc, role=None, name=None, only_showing=False):
    """All matching descendants, depth first. Tables are not walked cell by cell: their headers are enough."""
    found = []

    def walk(node):
        for child in children(node):
            r = child.getRoleName()
            if r == "table cell":
                continue
            if (role is None or r == role) and (name is None or child.name == name) and (
                    not only_showing or showing(child)):
                found.append(child)
            walk(child)

    walk(acc)
    return found


def find(acc, role, name=None):
    """The first showing descendant with that role and name, or None."""
    matches = descendants(acc, role, name, only_showing=True)
    return matches[0] if matches else None


def row_texts(table):
    """Every row of a list as the list of its fields, in screen order. A reader hears every cell with its column's
    name in front ("Password Hunter2"); the field is what follows that name."""
    t = table.queryTable()
    if t.nRows == 0:
        return []
    names = [f"{t.getColumnHeader(c).name} " for c in range(t.nColumns)]
    spoken = [[t.getAccessibleAt(r, c).name for c in range(t.nColumns)] for r in range(t.nRows)]
    for row in spoken:
        for c in range(len(row)):
            if not row[c].startswith(names[c]):
                raise AssertionError(f"cell {c} of {row} does not begin with its column's name {names[c]!r}")
    return [[cell[len(names[c]):] for c, cell in enumerate(row)] for row in spoken]


def text_of(acc):
    return acc.queryText().getText(0, -1)


def char_count(acc):
    """Works for password boxes too, which never give their text away."""
    return acc.queryText().characterCount


class MessageBox:
    """A message box as a screen reader presents it: its title, its text and its buttons."""

    def __init__(self, acc):
        self.acc = acc
        self.title = acc.name
        labels = [l.name for l in descendants(acc, "label", only_showing=True) if l.name]
        self.text = labels[0] if labels else ""
        self.buttons = {b.name: b for b in descendants(acc, "push button", only_showing=True)}

    def press(self, name):
        if name not in self.buttons:
            raise AssertionError(f"message box {self.title!r} has no button {name!r}: {sorted(self.buttons)}")
        click(self.buttons[name])


# --- one copy of the program ------------------------------------------------------------------------------------


class Brisvane:
    """One run of the real binary in its own folder, with its own settings home."""

    def __init__(self, folder, home, extra_path=None, env=None):
        self.folder = Path(folder)
        self.home = Path(home)
        self.extra_path = extra_path
        self.env = env or {}  # on top of the test session's; None takes a variable out
        self.process = None
        self.log = None
        self._app = None

    @property
    def pid(self):
        return self.process.pid

    def start(self):
        env = dict(os.environ)
        runtime = self.home / "runtime"
        runtime.mkdir(mode=0o700, parents=True, exist_ok=True)
        env.update({
            "HOME": str(self.home),
            "XDG_CONFIG_HOME": str(self.home / "config"),
            "XDG_RUNTIME_DIR": str(runtime),
            "QT_ACCESSIBILITY": "1",
            "QT_LINUX_ACCESSIBILITY_ALWAYS_ON": "1",
            "QT_QPA_PLATFORM": "xcb",
        })
        if self.extra_path:
            env["PATH"] = f"{self.extra_path}:{env.get('PATH', '')}"
        env.update(self.env)
        env = {name: value for name, value in env.items() if value is not None}
        self.log = open(self.home / f"program-{time.monotonic_ns()}.log", "wb")
        self.process = subprocess.Popen([str(self.folder / "Brisvane")], cwd=self.folder, env=env,
                                        stdin=subprocess.DEVNULL, stdout=self.log, stderr=subprocess.STDOUT)
        return self

    def running(self):
        return self.process is not None and self.process.poll() is None

    def check_running(self):
        if not self.running():
            raise ProgramEnded(f"Brisvane (pid {self.pid}) ended with status {self.process.returncode}")

    def stop(self):
        """Ends this copy, if it still runs, by its process id."""
        if self.running():
            os.kill(self.process.pid, signal.SIGKILL)
        if self.process is not None:
            self.process.wait(timeout=10)
        if self.log:
            self.log.close()
            self.log = None

    def wait_exit(self, timeout=WAIT):
        try:
            return self.process.wait(timeout=timeout)
        except subprocess.TimeoutExpired:
            picture = screenshot(f"still-running-{self.pid}")
            screen = f"; screen: {picture}" if picture else ""
            raise WaitTimeout(f"Brisvane (pid {self.pid}) still runs after {timeout:.0f} s{screen}") from None

    # The program on the accessibility bus.

    def app(self):
        self.check_running()

        def probe():
            self.check_running()
            desktop = pyatspi.Registry.getDesktop(0)
            for candidate in children(desktop):
                try:
                    if candidate.get_process_id() == self.pid:
                        return candidate
                except Exception:
                    continue
            return None

        if self._app is None:
            self._app = wait_for(probe, f"Brisvane (pid {self.pid}) on the accessibility bus", timeout=30)
        self._app.clear_cache()
        return self._app

    def windows(self):
        return [w for w in children(self.app()) if w.getRoleName() in TOP_LEVEL_ROLES and showing(w)]

    def window(self, title, timeout=WAIT):
        return wait_for(lambda: next((w for w in self.windows() if w.name == title), None),
                        f"window {title!r}", timeout)

    def close_window(self, title):
        """Asks the window manager to close the window, as its close box does."""
        ids = wait_for(lambda: x_window_ids(self.pid, title), f"X window {title!r}")
        subprocess.run(["wmctrl", "-i", "-c", hex(ids[0])], check=True, timeout=10)

    def bring_to_front(self, title):
        """Activates the window as a click on its taskbar entry would, for a window that another one covers."""
        ids = wait_for(lambda: x_window_ids(self.pid, title), f"X window {title!r}")
        subprocess.run(["xdotool", "windowactivate", "--sync", str(ids[0])], check=True, timeout=10)
        return wait_for(lambda: next((w for w in self.windows() if w.name == title and
                                      has_state(w, pyatspi.STATE_ACTIVE)), None), f"{title!r} to be active")

    def has_window(self, title):
        return any(w.name == title for w in self.windows())

    def message_box(self, title=None, timeout=WAIT):
        """The message box on screen (the one with that title, if given)."""
        acc = wait_for(lambda: next((w for w in self.windows() if w.getRoleName() == "alert" and
                                     (title is None or w.name == title)), None),
                       f"a message box {title!r}" if title else "a message box", timeout)
        return MessageBox(acc)

    def no_message_box(self):
        return not any(w.getRoleName() == "alert" for w in self.windows())

    def control(self, window_title, role, name, timeout=WAIT):
        return wait_for(lambda: find(self.window(window_title), role, name),
                        f"{role} {name!r} in {window_title!r}", timeout)

    def button(self, window_title, name):
        return self.control(window_title, "push button", name)

    # The main window.

    def main_window(self, timeout=WAIT):
        return self.window(MAIN_TITLE, timeout)

    def status_text(self):
        bar = find(self.main_window(), "status bar")
        labels = [l for l in children(bar) if l.getRoleName() == "label"]
        return labels[0].name if labels else None

    def wait_status(self, expected, timeout=WAIT):
        seen = []

        def probe():
            seen[:] = [self.status_text()]
            return seen[0] == expected

        try:
            return wait_for(probe, f"status text {expected!r}", timeout)
        except WaitTimeout as error:
            raise WaitTimeout(f"{error}; status text on screen: {seen[0] if seen else None!r}") from None

    def entry_list(self):
        """The list of entries: a table to a screen reader (Qt's tree view reports the role "tree")."""
        return wait_for(lambda: next((d for d in descendants(self.main_window(), name="Entries", only_showing=True)
                                      if d.getRoleName() in ("tree", "table", "tree table")), None),
                        "the list 'Entries'")

    def rows(self):
        return row_texts(self.entry_list())

    def wait_rows(self, predicate, what, timeout=WAIT):
        """Polls the rows on screen until predicate(rows) holds; returns them."""
        seen = []

        def probe():
            seen[:] = [self.rows()]
            return seen[0] if predicate(seen[0]) else None

        try:
            return wait_for(probe, what, timeout)
        except AssertionError as error:
            raise AssertionError(f"{error}; rows on screen: {seen[0] if seen else None}") from None

    def cell(self, row, column):
        return self.entry_list().queryTable().getAccessibleAt(row, column)

    def selected_rows(self):
        t = self.entry_list().queryTable()
        return [r for r in range(t.nRows) if t.isRowSelected(r)]

    def select_row(self, row, modifiers=()):
        click(self.cell(row, 0), modifiers)

    def column_header(self, name):
        return self.control(MAIN_TITLE, "table column header", name)

    def menu(self, menu_name, item_name):
        """Opens a menu of the main window's menu bar with a click and clicks one of its items."""
        bar = self.control(MAIN_TITLE, "menu bar", None)
        title = next(m for m in children(bar) if m.name == menu_name)
        click(title)

        def item_on_screen():
            for popup in children(title):
                for item in children(popup):
                    if item.name == item_name and showing(item) and extents(item).width > 0:
                        return item
            return None

        click(wait_for(item_on_screen, f"menu item {item_name!r} on screen"))


# --- the base of every test -------------------------------------------------------------------------------------


class BrisvaneTestCase(unittest.TestCase):
    """Each test gets a fresh folder holding a copy of the binary, and a private settings home."""

    maxDiff = None

    def setUp(self):
        signal.signal(signal.SIGALRM, self._too_long)
        signal.alarm(TEST_LIMIT)
        self.addCleanup(signal.alarm, 0)
        binary = BUILD / "Brisvane"
        if not binary.is_file():
            self.fail(f"no program to test: {binary} does not exist (build it first)")
        self._tmp = tempfile.TemporaryDirectory(prefix="brisvane-e2e-")
        self.addCleanup(self._tmp.cleanup)
        self.root = Path(self._tmp.name)
        self.folder = self.root / "app"
        self.folder.mkdir()
        self.home = self.root / "home"
        self.home.mkdir()
        shutil.copy2(binary, self.folder / "Brisvane")
        self.vault = self.folder / "data.enc"

    def _too_long(self, signum, frame):
        raise TimeoutError(f"test still running after {TEST_LIMIT} s")

    def with_help_file(self):
        source = REPO / "assets" / "Help.rtf"
        if not source.is_file():
            self.fail(f"no help file to show: {source} does not exist")
        shutil.copy2(source, self.folder / "Help.rtf")

    def write_vault(self, master, entries=()):
        data = vault_bytes(master, list(entries))
        self.vault.write_bytes(data)
        return data

    def launch(self, extra_path=None, env=None):
        program = Brisvane(self.folder, self.home, extra_path, env).start()
        self.addCleanup(program.stop)
        return program

    def folder_files(self):
        return sorted(p.name for p in self.folder.iterdir())

    # The password dialog.

    def password_box(self, program, name="Password"):
        return program.control("Password Required", "password text", name)

    def type_into(self, acc, text, replace=False):
        """Clicks into a box and types, waiting after each run of keys until the box has taken it, so that the next
        click cannot overtake keys still on their way. A box that is not a password box must then hold the text."""
        click(acc)
        wait_for(lambda: has_state(acc, pyatspi.STATE_FOCUSED), f"{acc.name!r} to take the focus")
        if replace:
            key("ctrl+a", "BackSpace")
            wait_for(lambda: char_count(acc) == 0, f"{acc.name!r} to be emptied")
        count = char_count(acc)
        for run in text_runs(text):
            # xdotool types a character outside the keyboard map by remapping a spare key for a moment; now and
            # then the program reads the key before the new map and gets nothing. Such a lost key is typed again.
            attempts = 1 if ord(run[0]) < 128 else 3
            for attempt in range(attempts):
                type_text(run)
                try:
                    wait_for(lambda: char_count(acc) == count + len(run), f"{run!r} typed into {acc.name!r}",
                             timeout=WAIT if attempt + 1 == attempts else 3, shot=attempt + 1 == attempts)
                    break
                except WaitTimeout:
                    if attempt + 1 == attempts or char_count(acc) != count:
                        raise
            count += len(run)
        if replace and acc.getRoleName() != "password text":
            self.assertEqual(text_of(acc), text)

    def press_ok(self, program):
        click(program.button("Password Required", "Ok"))

    def create_password(self, program, password):
        self.type_into(self.password_box(program, "Password"), password)
        self.type_into(self.password_box(program, "Retype Password"), password)
        self.press_ok(program)
        program.wait_status("Password created successfully")

    def enter_password(self, program, password, submit="Ok"):
        """Types the password and sends it with the Ok button or, with submit="Return", the Enter key."""
        box = self.password_box(program)
        self.type_into(box, password, replace=True)
        if submit == "Return":
            key("Return")
        else:
            self.press_ok(program)

    def unlocked(self, master, entries):
        """A running program, unlocked, over a vault prepared with these entries."""
        self.write_vault(master, entries)
        program = self.launch()
        self.enter_password(program, master)
        program.wait_status(f"Loaded {len(entries)} entries")
        return program
