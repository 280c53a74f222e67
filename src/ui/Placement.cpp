#include "ui/Placement.h"

#include "platform/DisplayServer.h"

#include <QEvent>
#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <QWindow>

namespace Placement {

void centerOnScreen(QWidget *window)
{
    QScreen *screen = window->screen() ? window->screen() : QGuiApplication::primaryScreen();
    if (!screen) {
        return;
    }
    QRect frame = window->frameGeometry();
    frame.moveCenter(screen->availableGeometry().center());
    window->move(frame.topLeft());
}

namespace {

class CentreOnFirstShow final : public QObject {
public:
    using QObject::QObject;
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Show) {
            centerOnScreen(static_cast<QWidget *>(watched));
            deleteLater();
            watched->removeEventFilter(this);
        }
        return false;
    }
};

} // namespace

void centerOnFirstShow(QWidget *window)
{
    window->installEventFilter(new CentreOnFirstShow(window));
}

void belongTo(QWidget *window, QWidget *owner)
{
    if (!window || !owner || !DisplayServer::isNativeWayland()) {
        return;
    }
    window->winId();
    owner->winId();
    window->windowHandle()->setTransientParent(owner->windowHandle());
}

} // namespace Placement
