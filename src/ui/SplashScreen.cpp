#include "ui/SplashScreen.h"

#include "core/PublisherSettings.h"
#include "ui/Pictures.h"
#include "ui/Placement.h"
#include "ui/ProgramIcon.h"
#include "ui/Skin.h"

#include <QLabel>
#include <QTimer>

using namespace Qt::StringLiterals;

namespace {
// The timer asks for 2 ms; desktop timers do not tick that fast. At the usual 16 ms granularity of a desktop
// timer the 75 ticks keep the picture up for about a second and a quarter.
constexpr int TickMilliseconds = 16;
} // namespace

SplashScreen::SplashScreen(const PublisherSettings &publisher, QWidget *parent)
    : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint)
{
    setObjectName(u"splashScreen"_s);
    Placement::centerOnFirstShow(this);
    setWindowIcon(ProgramIcon::fromResource(u"AAA"_s));

    picture_ = new QLabel(this);
    picture_->setObjectName(u"picture"_s);
    const QPixmap pixmap = Pictures::forScreen(u":/splash.png"_s);
    picture_->setPixmap(pixmap);
    picture_->setGeometry(QRect(QPoint(0, 0), pixmap.deviceIndependentSize().toSize()));

    tickTimer_ = new QTimer(this);
    tickTimer_->setObjectName(u"tickTimer"_s);
    tickTimer_->setInterval(TickMilliseconds);
    connect(tickTimer_, &QTimer::timeout, this, &SplashScreen::tick);

    // Load steps: the window is exactly the picture; the product's name; the timer starts.
    setFixedSize(picture_->size());
    setWindowTitle(publisher.productName);
    setAccessibleName(publisher.productName);
    picture_->setAccessibleName(publisher.productName + u" is starting"_s);
    if (publisher.useSkin) {
        Skin::start(this);
    }
    tickTimer_->start();
}

SplashScreen::~SplashScreen() = default;

void SplashScreen::tick()
{
    counter_ = qint16(counter_ + 2);
    if (counter_ != 2 * Ticks) {
        return;
    }
    // Stopped before the main window loads: its load lets pending events run, and a tick then must not load it
    // a second time.
    tickTimer_->stop();
    emit finished();
    hide();
}
