#include "ui/StatusAnnouncer.h"

#include "ui/AccessibleFactory.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QLabel>
#include <QTimer>

using namespace Qt::StringLiterals;

namespace {

// A screen reader speaks a notification as it appears.
class AnnouncerAccessible final : public QAccessibleWidget {
public:
    explicit AnnouncerAccessible(StatusAnnouncer *announcer) : QAccessibleWidget(announcer, QAccessible::Notification)
    {}
};

} // namespace

StatusAnnouncer::StatusAnnouncer(QLabel *label) : QWidget(label)
{
    AccessibleFactory::install<StatusAnnouncer, AnnouncerAccessible>();
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
