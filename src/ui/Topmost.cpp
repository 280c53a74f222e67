#include "ui/Topmost.h"

#include "platform/DisplayServer.h"

#include <QWidget>

namespace Topmost {

void keepOnTop(QWidget *window, bool topmost)
{
    if (!window) {
        return;
    }
    // Native Wayland has no request for it: changing the flag there would only destroy the window and make it
    // anew, wherever the compositor then puts it. Raising and activating is what the platform allows.
    if (!DisplayServer::isNativeWayland()) {
        const bool wasVisible = window->isVisible();
        const QRect geometry = window->geometry();
        // Changing a window flag hides a visible window; show it again where it was.
        window->setWindowFlag(Qt::WindowStaysOnTopHint, topmost);
        if (wasVisible) {
            window->setGeometry(geometry);
            window->show();
        }
    }
    window->raise();
    window->activateWindow();
}

} // namespace Topmost
