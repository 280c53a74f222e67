#include "ui/WebsiteLauncher.h"

#include "core/LocationAddress.h"
#include "core/PublisherSettings.h"
#include "platform/Platform.h"

#include <QTimer>
#include <QUrl>

using namespace Qt::StringLiterals;

WebsiteLauncher::WebsiteLauncher(const PublisherSettings &publisher, Opener &opener, bool siteRequested,
                                 QWidget *parent)
    : QWidget(parent)
{
    setObjectName(u"websiteLauncher"_s);
    setWindowTitle(u"Website"_s);
    setAccessibleName(windowTitle());

    lifetimeTimer_ = new QTimer(this);
    lifetimeTimer_->setObjectName(u"lifetimeTimer"_s);
    lifetimeTimer_->setInterval(LifetimeMs);
    connect(lifetimeTimer_, &QTimer::timeout, this, &WebsiteLauncher::expire);
    lifetimeTimer_->start();

    if (siteRequested) {
        opener.openUrl(QUrl(LocationAddress::websiteAddress(publisher.publisherUrl)));
    }
}

WebsiteLauncher::~WebsiteLauncher() = default;

void WebsiteLauncher::expire()
{
    lifetimeTimer_->stop();
    emit unloadRequested();
}
