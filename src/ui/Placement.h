#pragma once

class QWidget;

namespace Placement {

// Moves the window to the middle of the screen it is on (the primary screen before it is shown).
void centerOnScreen(QWidget *window);

// Centres the window when it is first shown; later shows keep the place the user gave it.
void centerOnFirstShow(QWidget *window);

// Makes the window a child window of `owner` where the desktop needs that to treat it as one of the program's:
// on native Wayland a window without a parent is a separate program's window, with its own task bar entry. On X11
// the window manager keeps dialogs out of the task bar by itself, and the windows stay without owner.
void belongTo(QWidget *window, QWidget *owner);

} // namespace Placement
