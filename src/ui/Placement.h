#pragma once

class QWidget;

namespace Placement {

// Moves the window to the middle of the screen it is on (the primary screen before it is shown).
void centerOnScreen(QWidget *window);

// Centres the window when it is first shown; later shows keep the place the user gave it.
void centerOnFirstShow(QWidget *window);

} // namespace Placement
