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

} // namespace Placement
