#include "ui/Placement.h"

#include "platform/DisplayServer.h"

#include <QApplication>
#include <QEvent>
#include <QGuiApplication>
#include <QScreen>
#include <QScrollArea>
#include <QWidget>
#include <QWindow>

#include <algorithm>

namespace Placement {

namespace {

QScreen *screenOf(const QWidget *window)
{
    return window->screen() ? window->screen() : QGuiApplication::primaryScreen();
}

// The window manager's frame around the window: as it is, once the window has one; before that, as wide as the
// frames of the program's other windows, and no less than a common title bar and border.
QMargins frameOf(const QWidget *window)
{
    const auto marginsOf = [](const QWidget *w) {
        const QRect inside = w->geometry();
        const QRect outside = w->frameGeometry();
        return QMargins(inside.left() - outside.left(), inside.top() - outside.top(), outside.right() - inside.right(),
                        outside.bottom() - inside.bottom());
    };
    QMargins frame = marginsOf(window);
    if (!frame.isNull()) {
        return frame;
    }
    frame = QMargins(4, 30, 4, 4);
    for (const QWidget *other : QApplication::topLevelWidgets()) {
        if (other != window && other->isVisible()) {
            const QMargins m = marginsOf(other);
            frame = QMargins(std::max(frame.left(), m.left()), std::max(frame.top(), m.top()),
                             std::max(frame.right(), m.right()), std::max(frame.bottom(), m.bottom()));
        }
    }
    return frame;
}

// Moves what the window shows into a scroll area of the window's new, smaller size. The content keeps its size,
// its places and its tab order.
void scrollContent(QWidget *window, QSize size)
{
    QList<QWidget *> focusOrder;
    for (QWidget *w = window->nextInFocusChain(); w && w != window; w = w->nextInFocusChain()) {
        focusOrder.append(w);
    }
    QWidget *focus = window->focusWidget();
    auto *content = new QWidget;
    content->setObjectName(QStringLiteral("scrolledContent"));
    content->setFixedSize(window->size());
    for (QWidget *child : window->findChildren<QWidget *>(Qt::FindDirectChildrenOnly)) {
        if (child->isWindow()) {
            continue;
        }
        const bool hidden = child->isHidden();
        child->setParent(content);
        child->setVisible(!hidden);
    }
    auto *area = new QScrollArea(window);
    area->setObjectName(QStringLiteral("scrollArea"));
    area->setFrameShape(QFrame::NoFrame);
    area->setFocusPolicy(Qt::NoFocus);
    area->setWidget(content);
    area->setGeometry(QRect(QPoint(0, 0), size));
    area->setVisible(true); // made while the window is being shown
    window->setFixedSize(size);
    for (qsizetype i = 1; i < focusOrder.size(); ++i) {
        QWidget::setTabOrder(focusOrder[i - 1], focusOrder[i]);
    }
    if (focus) {
        focus->setFocus();
    }
}

} // namespace

void fitToScreen(QWidget *window)
{
    QScreen *screen = screenOf(window);
    if (!screen) {
        return;
    }
    const QRect room = screen->availableGeometry() - frameOf(window);
    const QSize size = window->size();
    if (size.width() <= room.width() && size.height() <= room.height()) {
        return;
    }
    const QSize fitted = size.boundedTo(room.size());
    if (window->minimumSize() == window->maximumSize()) {
        scrollContent(window, fitted);
    } else {
        window->setMinimumSize(window->minimumSize().boundedTo(fitted));
        window->resize(fitted);
    }
    // move() places the frame where the frame is known; before that, the inside, and the frame goes around it.
    const QPoint inside =
        room.topLeft() + QPoint((room.width() - fitted.width()) / 2, (room.height() - fitted.height()) / 2);
    window->move(inside - (window->geometry().topLeft() - window->frameGeometry().topLeft()));
}

void centerOnScreen(QWidget *window)
{
    QScreen *screen = screenOf(window);
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
            auto *window = static_cast<QWidget *>(watched);
            const QSize before = window->size();
            fitToScreen(window);
            if (window->size() == before) {
                centerOnScreen(window);
            }
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
    // An owner that the desktop has not been given yet (the main window before the vault is open) stays unmade.
    if (!window || !owner || !owner->windowHandle() || !DisplayServer::isNativeWayland()) {
        return;
    }
    window->winId();
    window->windowHandle()->setTransientParent(owner->windowHandle());
}

} // namespace Placement
