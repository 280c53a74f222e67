"""A minimal clipboard manager, as desktops run one: it owns CLIPBOARD_MANAGER and prints "ready"; asked for
SAVE_TARGETS, it fetches every target of the clipboard, answers and prints "saved" and their names; once the
clipboard's owner is gone, it owns CLIPBOARD itself and serves what it saved."""

import time

from Xlib import X, display
from Xlib.protocol import event

d = display.Display()
window = d.screen().root.create_window(0, 0, 1, 1, 0, X.CopyFromParent)
CLIPBOARD, MANAGER, TARGETS, INCOMING = (d.intern_atom(n) for n in ("CLIPBOARD", "CLIPBOARD_MANAGER", "TARGETS",
                                                                    "TEST_MANAGER_DATA"))
NOT_CONTENTS = {d.intern_atom(n) for n in ("TARGETS", "MULTIPLE", "TIMESTAMP", "SAVE_TARGETS")}


def answer(request, prop):
    request.requestor.send_event(event.SelectionNotify(time=request.time, requestor=request.requestor,
                                                       selection=request.selection, target=request.target,
                                                       property=prop), event_mask=0)
    d.flush()


def fetch(target):
    """(type, format, data) of one target of the clipboard, or None."""
    window.convert_selection(CLIPBOARD, target, INCOMING, X.CurrentTime)
    while True:
        e = d.next_event()
        if e.type == X.SelectionNotify and e.target == target:
            got = e.property and window.get_full_property(INCOMING, X.AnyPropertyType)
            return (got.property_type, got.format, got.value) if got else None


window.set_selection_owner(MANAGER, X.CurrentTime)
d.flush()
print("ready", flush=True)
saved = {}
while True:
    e = d.next_event()
    if e.type != X.SelectionRequest:
        continue
    if e.selection == MANAGER:
        targets = fetch(TARGETS)
        saved = {t: fetch(t) for t in (targets[2] if targets else []) if t not in NOT_CONTENTS}
        saved = {t: v for t, v in saved.items() if v}
        answer(e, e.property)
        print("saved", *sorted(d.get_atom_name(t) for t in saved), flush=True)
        while d.get_selection_owner(CLIPBOARD) != X.NONE:
            time.sleep(0.05)
        window.set_selection_owner(CLIPBOARD, X.CurrentTime)
        d.flush()
    elif e.selection == CLIPBOARD and (e.target == TARGETS or e.target in saved):
        prop = e.property or e.target
        kind, fmt, data = (d.intern_atom("ATOM"), 32, [TARGETS, *saved]) if e.target == TARGETS else saved[e.target]
        e.requestor.change_property(prop, kind, fmt, data)
        answer(e, prop)
    else:
        answer(e, X.NONE)
