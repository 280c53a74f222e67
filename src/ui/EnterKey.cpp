#include "ui/EnterKey.h"

#include <QAbstractButton>
#include <QKeyEvent>
#include <QLineEdit>

namespace {

bool isEnter(const QKeyEvent *event)
{
    const auto others = event->modifiers() & ~Qt::KeyboardModifiers(Qt::KeypadModifier);
    return (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && others == Qt::NoModifier;
}

class EnterFilter final : public QObject {
public:
    enum class Kind { Button, Box };
    EnterFilter(QWidget *watched, Kind kind) : QObject(watched), kind_(kind) { watched->installEventFilter(this); }

    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() != QEvent::KeyPress && event->type() != QEvent::KeyRelease) {
            return false;
        }
        const auto *key = static_cast<QKeyEvent *>(event);
        if (!isEnter(key)) {
            return false;
        }
        if (key->isAutoRepeat()) {
            event->accept();
            return true;
        }
        if (kind_ == Kind::Box) {
            return false;
        }
        auto *button = static_cast<QAbstractButton *>(watched);
        if (event->type() == QEvent::KeyPress && button->isEnabled()) {
            button->click();
        }
        event->accept();
        return true;
    }

private:
    Kind kind_;
};

} // namespace

namespace EnterKey {

void pressesButton(QAbstractButton *button)
{
    new EnterFilter(button, EnterFilter::Kind::Button);
}

void actsOncePerStroke(QLineEdit *box)
{
    new EnterFilter(box, EnterFilter::Kind::Box);
}

} // namespace EnterKey
