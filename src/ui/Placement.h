#pragma once

class QWidget;

namespace Placement {

// Moves the window to the middle of the screen it is on (the primary screen before it is shown).
void centerOnScreen(QWidget *window);

// Where the window does not fit the available area of its screen, frame included: shrinks it to fit and places it
// there, its content scrolling (a window of fixed size) or laid out anew (one the user may resize). A window that
// fits is left as it is.
void fitToScreen(QWidget *window);

// Centres the window when it is first shown, shrunk to fit the screen where it must be; later shows keep the place
// the user gave it.
void centerOnFirstShow(QWidget *window);

// Makes the window a child window of `owner` where the desktop needs that to treat it as one of the program's:
// on native Wayland a window without a parent is a separate program's window, with its own task bar entry. On X11
// the window manager keeps dialogs out of the task bar by itself, and the windows stay without owner.
void belongTo(QWidget *window, QWidget *owner);

} // namespace Placement
