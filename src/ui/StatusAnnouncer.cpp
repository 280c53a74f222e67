#include "ui/StatusAnnouncer.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QLabel>
#include <QTimer>

using namespace Qt::StringLiterals;

namespace {

QAccessibleInterface *accessibleFactory(const QString &className, QObject *object)
{
    if (className == QLatin1StringView(StatusAnnouncer::staticMetaObject.className()) && object &&
        object->isWidgetType()) {
        return new QAccessibleWidget(static_cast<QWidget *>(object), QAccessible::Notification);
    }
    return nullptr;
}

} // namespace

StatusAnnouncer::StatusAnnouncer(QLabel *label) : QWidget(label)
{
    static const bool factoryInstalled = [] {
        QAccessible::installFactory(accessibleFactory);
        return true;
    }();
    Q_UNUSED(factoryInstalled);

    setObjectName(u"statusAnnouncer"_s);
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setFocusPolicy(Qt::NoFocus);
    setGeometry(0, 0, 0, 0);
    show();
}

StatusAnnouncer::~StatusAnnouncer() = default;

void StatusAnnouncer::announce(QLabel *label, const QString &spoken)
{
    auto *announcer = label->findChild<StatusAnnouncer *>(QString(), Qt::FindDirectChildrenOnly);
    if (!announcer) {
        announcer = new StatusAnnouncer(label);
    }
    announcer->setAccessibleName(spoken);
    if (!announcer->pending_) {
        announcer->pending_ = true;
        QTimer::singleShot(0, announcer, &StatusAnnouncer::appear);
    }
}

void StatusAnnouncer::appear()
{
    pending_ = false;
    // A screen reader speaks a notification when it appears; for the bus it appears anew with every text.
    QAccessibleEvent shown(this, QAccessible::ObjectShow);
    QAccessible::updateAccessibility(&shown);
}
