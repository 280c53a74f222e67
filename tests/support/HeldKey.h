#pragma once

#include <QApplication>
#include <QKeyEvent>
#include <QPointer>
#include <QWidget>

// One stroke of a key held long enough to repeat, as the X server delivers it to the widget: the press, then pairs
// of a release and a press marked as repeats, then the real release. Qt::Key_Enter is the keypad's key.
inline void holdKey(QWidget *widget, Qt::Key key, int repeats = 2)
{
    const Qt::KeyboardModifiers modifiers = key == Qt::Key_Enter ? Qt::KeypadModifier : Qt::NoModifier;
    const QString text = key == Qt::Key_Return || key == Qt::Key_Enter ? QStringLiteral("\r") : QString();
    // A press may close the window; what is left of the stroke then goes nowhere.
    const QPointer<QWidget> target = widget;
    const auto send = [&](QEvent::Type type, bool repeat) {
        if (target) {
            QKeyEvent event(type, key, modifiers, text, repeat);
            QApplication::sendEvent(target, &event);
        }
    };
    send(QEvent::KeyPress, false);
    for (int i = 0; i < repeats; ++i) {
        send(QEvent::KeyRelease, true);
        send(QEvent::KeyPress, true);
    }
    send(QEvent::KeyRelease, false);
}
