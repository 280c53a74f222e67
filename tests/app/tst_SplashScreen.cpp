// The splash window: what its load fills in, that it lasts exactly 75 ticks, and that the main window is loaded
// once, after the timer has stopped, and shown before the password dialog hides it.

#include "BuildInfo.h"
#include "ui/MainWindow.h"
#include "app/Application.h"
#include "ui/SplashScreen.h"
#include "support/FakePlatform.h"
#include "ui/PasswordDialog.h"

#include <QApplication>
#include <QLabel>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <functional>

using namespace Qt::StringLiterals;

namespace {

// Lets pending events run for real, and lets a test look in at that moment: the password dialog asks for it
// while the main window is still loading.
class ObservedPump final : public EventPump {
public:
    void processEvents() override
    {
        if (during) {
            during();
        }
        QCoreApplication::processEvents();
    }
    std::function<void()> during;
};

int mainWindowsAlive()
{
    int n = 0;
    for (QWidget *w : QApplication::topLevelWidgets()) {
        n += qobject_cast<MainWindow *>(w) ? 1 : 0;
    }
    return n;
}

// A program at its very start, on an empty folder (a first run).
class Start final {
public:
    Start() { fake.settings.values.insert(u"Brisvane/Settings/showHelp"_s, u"0"_s); }
    ~Start()
    {
        program.unloadOtherWindows();
        program.passwordDialog.unload();
        program.mainWindow.unload();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    Q_DISABLE_COPY_MOVE(Start)

    SplashScreen *splash() const { return program.splash.get(); }

    QTemporaryDir dir;
    FakePlatform fake;
    ObservedPump pump;
    Platform platform{fake.messages, fake.clipboard, fake.opener, fake.settings, fake.end, pump};
    Application program{platform, dir.path()};
};

bool samePublisher(const PublisherSettings &a, const PublisherSettings &b)
{
    return a.productName == b.productName && a.companyName == b.companyName && a.publisherUrl == b.publisherUrl &&
           a.versionMajor == b.versionMajor && a.versionMinor == b.versionMinor && a.useSkin == b.useSkin &&
           a.useSplashIcon == b.useSplashIcon;
}

} // namespace

class tst_SplashScreen : public QObject {
    Q_OBJECT

private slots:
    void tick75_loadsAndShowsTheMainWindow_notBefore()
    {
        Start s;
        s.program.start();
        SplashScreen *splash = s.splash();
        QVERIFY(splash && splash->isVisible());
        QVERIFY(splash->Timer2->isActive());
        // The ticks are called here one by one; no event loop runs in between.
        for (int tick = 1; tick < SplashScreen::Ticks; ++tick) {
            splash->Timer2_Timer();
            QVERIFY2(!s.program.mainWindow.isLoaded(), qPrintable(u"loaded at tick %1"_s.arg(tick)));
        }
        QCOMPARE(splash->counter(), qint16(148));
        QVERIFY(splash->Timer2->isActive());
        QVERIFY(splash->isVisible());

        splash->Timer2_Timer();
        QCOMPARE(splash->counter(), qint16(150));
        QVERIFY(!splash->Timer2->isActive());
        QVERIFY(s.program.mainWindow.isLoaded());
        QVERIFY(s.program.mainWindow.get()->isVisible());
        QVERIFY(!splash->isVisible());
        QVERIFY(s.program.splash.isLoaded());
        QCOMPARE(mainWindowsAlive(), 1);
    }

    void realTimer_ticksExactly75Times()
    {
        Start s;
        s.program.start();
        int ticks = 0;
        connect(s.splash()->Timer2, &QTimer::timeout, this, [&ticks] { ++ticks; });
        QTRY_VERIFY_WITH_TIMEOUT(s.program.mainWindow.isLoaded(), 10000);
        QTest::qWait(200);
        QCOMPARE(ticks, SplashScreen::Ticks);
        QCOMPARE(mainWindowsAlive(), 1);
        QVERIFY(s.program.splash.isLoaded() && !s.splash()->isVisible());
    }

    void timerStopsBeforeTheMainWindowLoads()
    {
        Start s;
        s.program.start();
        SplashScreen *splash = s.splash();
        for (int tick = 1; tick < SplashScreen::Ticks; ++tick) {
            splash->Timer2_Timer();
        }
        QList<bool> timerActiveDuringLoad;
        s.pump.during = [&] {
            timerActiveDuringLoad.append(splash->Timer2->isActive());
            // A tick that was already queued when the load began.
            splash->Timer2_Timer();
        };
        splash->Timer2_Timer();
        s.pump.during = nullptr;
        QVERIFY(!timerActiveDuringLoad.isEmpty()); // the load did let events run
        QVERIFY(!timerActiveDuringLoad.contains(true));
        QCOMPARE(mainWindowsAlive(), 1);
        QVERIFY(s.program.passwordDialog.isLoaded());
    }

    void mainWindow_isShownThenHiddenByThePasswordDialog()
    {
        Start s;
        s.program.start();
        for (int tick = 1; tick <= SplashScreen::Ticks; ++tick) {
            s.splash()->Timer2_Timer();
        }
        // Its load ended by opening the dialog, in create mode on an empty folder.
        QVERIFY(s.program.passwordDialog.isLoaded());
        QVERIFY(s.program.CreateMode);
        MainWindow *main = s.program.mainWindow.get();
        QVERIFY(main->isVisible());
        QTRY_VERIFY_WITH_TIMEOUT(!main->isVisible(), 1000);
        // The main window took the splash window's icon at its load.
        QCOMPARE(main->windowIcon().cacheKey(), s.splash()->windowIcon().cacheKey());
    }

    void window_isExactlyThePicture()
    {
        Start s;
        s.program.start();
        SplashScreen *splash = s.splash();
        const QPixmap picture(u":/splash.png"_s);
        QVERIFY(!picture.isNull());
        QCOMPARE(splash->Image1->pos(), QPoint(0, 0));
        QCOMPARE(splash->Image1->size(), picture.size());
        QCOMPARE(splash->size(), picture.size());
        QCOMPARE(splash->minimumSize(), splash->maximumSize());
        QVERIFY(splash->windowFlags().testFlag(Qt::FramelessWindowHint));
        QCOMPARE(splash->windowType(), Qt::SplashScreen);
        QCOMPARE(splash->parentWidget(), nullptr);
        const QRect screen = splash->screen()->availableGeometry();
        QVERIFY(std::abs(splash->frameGeometry().center().x() - screen.center().x()) <= 1);
        QVERIFY(std::abs(splash->frameGeometry().center().y() - screen.center().y()) <= 1);
        QVERIFY(!splash->accessibleName().isEmpty());
    }

    void load_fillsThePublisherSettings()
    {
        Start s;
        QVERIFY(s.program.publisher().productName.isEmpty());
        s.program.splash.load(s.program);
        const PublisherSettings &p = s.program.publisher();
        QCOMPARE(p.productName, u"Brisvane"_s);
        QCOMPARE(p.companyName, QString::fromUtf8(BuildInfo::CompanyName));
        QCOMPARE(p.publisherUrl, QString::fromUtf8(BuildInfo::PublisherUrl));
        QVERIFY(!p.companyName.isEmpty());
        QVERIFY(!p.publisherUrl.isEmpty() && !p.publisherUrl.contains(u"://"_s));
        QCOMPARE(p.versionMajor, BuildInfo::VersionMajor);
        QCOMPARE(p.versionMinor, BuildInfo::VersionMinor);
#ifdef BRISVANE_USE_SKIN
        QVERIFY(p.useSkin);
#else
        QVERIFY(!p.useSkin);
#endif
        QVERIFY(p.useSplashIcon);
    }

    void initPublisherSettings_twice_givesTheSameValues()
    {
        PublisherSettings first;
        first = PublisherSettings::fromBuild();
        PublisherSettings again = first;
        again.productName = u"changed"_s;
        again.companyName.clear();
        again.publisherUrl = u"http://elsewhere"_s;
        again.useSkin = !again.useSkin;
        again.useSplashIcon = false;
        again.versionMajor = -1;
        again = PublisherSettings::fromBuild();
        QVERIFY(samePublisher(first, again));
    }
};

QTEST_MAIN(tst_SplashScreen)
#include "tst_SplashScreen.moc"
