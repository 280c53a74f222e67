#include "ui/Topmost.h"

#include <QWidget>

namespace Topmost {

void keepOnTop(QWidget *window, bool topmost)
{
    if (!window) {
        return;
    }
    const bool wasVisible = window->isVisible();
    const QRect geometry = window->geometry();
    // Changing a window flag hides a visible window; show it again where it was.
    window->setWindowFlag(Qt::WindowStaysOnTopHint, topmost);
    if (wasVisible) {
        window->setGeometry(geometry);
        window->show();
    }
    window->raise();
    window->activateWindow();
}

} // namespace Topmost
