#pragma once

class QWidget;

namespace Topmost {

// Keeps the window above every other window of the desktop (true) or puts it back among the others (false).
// Position and size stay; the window is shown again, raised and activated. On native Wayland, where no window can
// be kept on top, it is only raised and activated.
void keepOnTop(QWidget *window, bool topmost);

} // namespace Topmost
