#include "app/WebsiteLauncher.h"

#include "core/LocationAddress.h"
#include "core/PublisherSettings.h"
#include "platform/Platform.h"

#include <QTimer>
#include <QUrl>

using namespace Qt::StringLiterals;

WebsiteLauncher::WebsiteLauncher(PublisherSettings &publisher, Opener &opener, QString &request, QWidget *parent)
    : QWidget(parent)
{
    setObjectName(u"websiteLauncher"_s);
    setWindowTitle(u"Website"_s);
    setAccessibleName(windowTitle());

    lifetimeTimer = new QTimer(this);
    lifetimeTimer->setObjectName(u"lifetimeTimer"_s);
    lifetimeTimer->setInterval(LifetimeMs);
    connect(lifetimeTimer, &QTimer::timeout, this, &WebsiteLauncher::expire);
    lifetimeTimer->start();

    publisher = PublisherSettings::fromBuild();
    if (request != u"Website"_s) {
        return;
    }
    opener.openUrl(QUrl(LocationAddress::websiteAddress(publisher.publisherUrl)));
    request.clear();
}

WebsiteLauncher::~WebsiteLauncher() = default;

void WebsiteLauncher::expire()
{
    lifetimeTimer->stop();
    emit unloadRequested();
}
