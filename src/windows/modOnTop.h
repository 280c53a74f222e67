#pragma once

class QWidget;

namespace modOnTop {

// Keeps the window above every other window of the desktop (true) or puts it back among the others (false).
// Position and size stay; the window is shown again, raised and activated.
void SetTopmost(QWidget *window, bool topmost);

} // namespace modOnTop
