#include "commands/frmWebsite.h"

#include "commands/LocationAddress.h"
#include "shell/Program.h"

#include <QTimer>
#include <QUrl>

using namespace Qt::StringLiterals;

frmWebsite::frmWebsite(Program &program, QWidget *parent) : QWidget(parent), program_(program)
{
    setObjectName(u"frmWebsite"_s);
    setWindowTitle(u"Website"_s);
    setAccessibleName(windowTitle());

    Timer1 = new QTimer(this);
    Timer1->setObjectName(u"Timer1"_s);
    Timer1->setInterval(LifetimeMs);
    connect(Timer1, &QTimer::timeout, this, &frmWebsite::Timer1_Timer);
    Timer1->start();

    Form_Load();
}

frmWebsite::~frmWebsite() = default;

void frmWebsite::Form_Load()
{
    PublisherSettings &publisher = program_.publisher();
    InitPublisherSettings(publisher);
    if (program_.WebsiteRequest != u"Website"_s) {
        return;
    }
    program_.platform().opener.openUrl(QUrl(LocationAddress::websiteAddress(publisher.PublisherUrl)));
    program_.WebsiteRequest.clear();
}

void frmWebsite::Timer1_Timer()
{
    Timer1->stop();
    if (program_.websiteLauncher.get() == this) {
        program_.websiteLauncher.unload();
    } else {
        deleteLater(); // loaded outside the single-window mechanism: it still goes after its second
    }
}
