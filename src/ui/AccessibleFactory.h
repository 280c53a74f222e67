#pragma once

#include <QAccessible>
#include <QLatin1StringView>
#include <QObject>

// What a screen reader is told of a widget class of ours: Qt asks every installed factory for each class of a widget,
// from its own class up to QObject, and takes the first interface it gets.
namespace AccessibleFactory {

// Gives every widget of class `Widget`, and of a class derived from it that no factory answers for first, the
// accessible `Accessible`, made from the widget; where `Accessible::accepts(const Widget *)` exists, only the widgets
// it accepts. The first call for a pair installs the factory; later calls do nothing.
template <class Widget, class Accessible> void install()
{
    static const bool installed = [] {
        QAccessible::installFactory([](const QString &className, QObject *object) -> QAccessibleInterface * {
            if (className != QLatin1StringView(Widget::staticMetaObject.className()) || !object ||
                !object->isWidgetType()) {
                return nullptr;
            }
            auto *widget = static_cast<Widget *>(object);
            if constexpr (requires { Accessible::accepts(widget); }) {
                if (!Accessible::accepts(widget)) {
                    return nullptr;
                }
            }
            return new Accessible(widget);
        });
        return true;
    }();
    Q_UNUSED(installed);
}

} // namespace AccessibleFactory
