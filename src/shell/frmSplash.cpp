#include "shell/frmSplash.h"

#include "shell/Form1.h"
#include "shell/Program.h"
#include "windows/Placement.h"
#include "windows/modIcon.h"
#include "windows/modSkin.h"

#include <QLabel>
#include <QTimer>

using namespace Qt::StringLiterals;

namespace {
// The timer asks for 2 ms; desktop timers do not tick that fast. At the usual 16 ms granularity of a desktop
// timer the 75 ticks keep the picture up for about a second and a quarter.
constexpr int TickMilliseconds = 16;
} // namespace

frmSplash::frmSplash(Program &program, QWidget *parent)
    : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint), program_(program)
{
    setObjectName(u"frmSplash"_s);
    Placement::CenterOnFirstShow(this);
    setWindowIcon(modIcon::ProgramIcon(u"AAA"_s));

    Image1 = new QLabel(this);
    Image1->setObjectName(u"Image1"_s);
    const QPixmap picture(u":/splash.png"_s);
    Image1->setPixmap(picture);
    Image1->setGeometry(0, 0, picture.width(), picture.height());

    Timer2 = new QTimer(this);
    Timer2->setObjectName(u"Timer2"_s);
    Timer2->setInterval(TickMilliseconds);
    connect(Timer2, &QTimer::timeout, this, &frmSplash::Timer2_Timer);

    // Load steps: the window is exactly the picture; the publisher settings become known; the timer starts.
    setFixedSize(Image1->size());
    InitPublisherSettings(program_.publisher());
    setWindowTitle(program_.publisher().ProductName);
    setAccessibleName(program_.publisher().ProductName);
    Image1->setAccessibleName(program_.publisher().ProductName + u" is starting"_s);
    if (program_.publisher().UseSkin) {
        modSkin::StartSkin(this);
    }
    Timer2->start();
}

frmSplash::~frmSplash() = default;

void frmSplash::Timer2_Timer()
{
    intTemp = qint16(intTemp + 2);
    if (intTemp != 2 * Ticks) {
        return;
    }
    // Stopped before the main window loads: its load lets pending events run, and a tick then must not load it
    // a second time.
    Timer2->stop();
    Form1 *main = program_.mainWindow.load(program_);
    main->show();
    hide();
}

