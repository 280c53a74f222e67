#include "ui/Topmost.h"

#include "platform/DisplayServer.h"

#include <QWidget>
#include <QWindow>

namespace Topmost {

void keepOnTop(QWidget *window, bool topmost)
{
    if (!window) {
        return;
    }
    // Native Wayland has no request for it: changing the flag there would only destroy the window and make it
    // anew, wherever the compositor then puts it. Raising and activating is what the platform allows.
    if (!DisplayServer::isNativeWayland()) {
        const Qt::WindowFlags flags = window->windowFlags().setFlag(Qt::WindowStaysOnTopHint, topmost);
        if (window->isVisible() && window->windowHandle()) {
            // A visible window keeps its place on screen and its keyboard: the window manager is told of the new
            // state, where changing the widget's flags would unmap the window and map it anew, which a window
            // manager need not activate again, and a keyboard user would then type into no window at all.
            window->overrideWindowFlags(flags);
            window->windowHandle()->setFlags(flags);
        } else {
            window->setWindowFlags(flags);
        }
    }
    window->raise();
    window->activateWindow();
}

} // namespace Topmost
