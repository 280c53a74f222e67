#include "ui/EscapeKey.h"

#include <QKeyEvent>
#include <QWidget>

namespace {

// Sees the key once no control inside the window took it, where a dialog would close.
class EscapeFilter final : public QObject {
public:
    explicit EscapeFilter(QWidget *window) : QObject(window) { window->installEventFilter(this); }

    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() != QEvent::KeyPress || !static_cast<QKeyEvent *>(event)->matches(QKeySequence::Cancel)) {
            return false;
        }
        event->accept();
        return true;
    }
};

} // namespace

namespace EscapeKey {

void doesNothingIn(QWidget *window)
{
    new EscapeFilter(window);
}

} // namespace EscapeKey
