"""A minimal clipboard manager for the tests, as desktops run one: it owns CLIPBOARD_MANAGER; asked to convert that
to SAVE_TARGETS, it fetches every target the clipboard's owner offers, answers, and once that owner is gone it owns
CLIPBOARD itself and serves what it saved. Prints "ready" when it owns CLIPBOARD_MANAGER, and one line per step.

    /usr/bin/python3 clipboard_manager.py
"""

import select
import sys
import time

from Xlib import X, display
from Xlib.protocol import event

# Targets that describe the selection instead of holding its contents.
META_TARGETS = ("TARGETS", "MULTIPLE", "TIMESTAMP", "SAVE_TARGETS", "DELETE")
STEP_LIMIT = 2.0


def say(text):
    print(text, flush=True)


class Manager:

    def __init__(self):
        self.d = display.Display()
        self.window = self.d.screen().root.create_window(0, 0, 1, 1, 0, X.CopyFromParent)
        self.atom = lambda name: self.d.intern_atom(name)
        self.name = self.d.get_atom_name
        self.manager = self.atom("CLIPBOARD_MANAGER")
        self.clipboard = self.atom("CLIPBOARD")
        self.incoming = self.atom("TEST_MANAGER_DATA")
        self.saved = {}  # target atom -> (type atom, format, data)
        self.owns_clipboard = False
        self.backlog = []
        self.window.set_selection_owner(self.manager, X.CurrentTime)
        self.d.flush()
        if self.d.get_selection_owner(self.manager) != self.window:
            sys.exit("another clipboard manager runs")

    def read_display(self, timeout):
        """The next event from the server; None when none came within timeout seconds."""
        if not self.d.pending_events():
            ready, _, _ = select.select([self.d.fileno()], [], [], max(timeout, 0))
            if not ready and not self.d.pending_events():
                return None
        return self.d.next_event()

    def next_event(self, timeout):
        """The next event, those put aside while fetching first."""
        return self.backlog.pop(0) if self.backlog else self.read_display(timeout)

    def fetch(self, target):
        """Converts CLIPBOARD to target into our window's property; (type, format, data) or None."""
        self.window.delete_property(self.incoming)
        self.window.convert_selection(self.clipboard, target, self.incoming, X.CurrentTime)
        self.d.flush()
        deadline = time.monotonic() + STEP_LIMIT
        while time.monotonic() < deadline:
            e = self.read_display(deadline - time.monotonic())
            if e is None:
                continue
            if e.type == X.SelectionNotify and e.requestor == self.window and e.target == target:
                if e.property == X.NONE:
                    return None
                prop = self.window.get_full_property(self.incoming, X.AnyPropertyType)
                self.window.delete_property(self.incoming)
                return (prop.property_type, prop.format, prop.value) if prop else None
            self.backlog.append(e)
        return None

    def save(self, request):
        self.saved = {}
        targets = self.fetch(self.atom("TARGETS"))
        for target in (targets[2] if targets else []):
            if self.name(target) not in META_TARGETS:
                got = self.fetch(target)
                if got:
                    self.saved[target] = got
        say("saved " + " ".join(sorted(self.name(t) for t in self.saved)))
        self.reply(request, request.property if self.saved else X.NONE)

    def reply(self, request, prop):
        notify = event.SelectionNotify(time=request.time, requestor=request.requestor, selection=request.selection,
                                       target=request.target, property=prop)
        request.requestor.send_event(notify, event_mask=0, propagate=False)
        self.d.flush()

    def serve(self, request):
        prop = request.property if request.property != X.NONE else request.target
        if request.target == self.atom("TARGETS"):
            atoms = [self.atom("TARGETS")] + list(self.saved)
            request.requestor.change_property(prop, self.d.intern_atom("ATOM"), 32, atoms)
        elif request.target in self.saved:
            kind, fmt, data = self.saved[request.target]
            request.requestor.change_property(prop, kind, fmt, data)
        else:
            prop = X.NONE
        self.reply(request, prop)

    def run(self):
        say("ready")
        while True:
            e = self.next_event(0.05)
            if e is not None and e.type == X.SelectionRequest:
                if e.selection == self.manager and e.target == self.atom("SAVE_TARGETS"):
                    self.save(e)
                elif e.selection == self.clipboard and self.owns_clipboard:
                    self.serve(e)
                else:
                    self.reply(e, X.NONE)
            elif e is not None and e.type == X.SelectionClear and e.atom == self.clipboard:
                self.owns_clipboard = False
            # The client that handed its clipboard over has ended: what it copied stays on offer.
            if self.saved and not self.owns_clipboard and self.d.get_selection_owner(self.clipboard) == X.NONE:
                self.window.set_selection_owner(self.clipboard, X.CurrentTime)
                self.d.flush()
                self.owns_clipboard = self.d.get_selection_owner(self.clipboard) == self.window
                say("took the clipboard")


if __name__ == "__main__":
    Manager().run()
