// The splash window: what its load fills in, that it lasts exactly 75 ticks, and that the main window is loaded
// once, after the timer has stopped, and shown before the password dialog hides it.

#include "support/AppFixture.h"
#include "ui/MainWindow.h"
#include "ui/PasswordDialog.h"
#include "ui/SplashScreen.h"

#include <QApplication>
#include <QLabel>
#include <QScreen>
#include <QTest>
#include <QTimer>

#include <functional>

using namespace Qt::StringLiterals;

namespace {

int mainWindowsAlive()
{
    int n = 0;
    for (QWidget *w : QApplication::topLevelWidgets()) {
        n += qobject_cast<MainWindow *>(w) ? 1 : 0;
    }
    return n;
}

// A program at its very start, on an empty folder (a first run). Pending events run for real when a load asks
// for it, and a test can look in at that moment: the password dialog asks while the main window is still loading.
class Start final : public AppFixture {
public:
    Start() : AppFixture(BeforeStart{})
    {
        fake.events.onProcess = [this] {
            if (during) {
                during();
            }
            QCoreApplication::processEvents();
        };
    }
    SplashScreen *splash() const { return app.splash.get(); }

    std::function<void()> during;
};

} // namespace

class tst_SplashScreen : public QObject {
    Q_OBJECT

private slots:
    void tick75_loadsAndShowsTheMainWindow_notBefore()
    {
        Start s;
        s.app.start();
        SplashScreen *splash = s.splash();
        QVERIFY(splash && splash->isVisible());
        QVERIFY(splash->tickTimer->isActive());
        // The ticks are called here one by one; no event loop runs in between.
        for (int tick = 1; tick < SplashScreen::Ticks; ++tick) {
            splash->tick();
            QVERIFY2(!s.app.mainWindow.isLoaded(), qPrintable(u"loaded at tick %1"_s.arg(tick)));
        }
        QCOMPARE(splash->counter(), qint16(148));
        QVERIFY(splash->tickTimer->isActive());
        QVERIFY(splash->isVisible());

        splash->tick();
        QCOMPARE(splash->counter(), qint16(150));
        QVERIFY(!splash->tickTimer->isActive());
        QVERIFY(s.app.mainWindow.isLoaded());
        QVERIFY(s.app.mainWindow.get()->isVisible());
        QVERIFY(!splash->isVisible());
        QVERIFY(s.app.splash.isLoaded());
        QCOMPARE(mainWindowsAlive(), 1);
    }

    void realTimer_ticksExactly75Times()
    {
        Start s;
        s.app.start();
        int ticks = 0;
        connect(s.splash()->tickTimer, &QTimer::timeout, this, [&ticks] { ++ticks; });
        QTRY_VERIFY_WITH_TIMEOUT(s.app.mainWindow.isLoaded(), 10000);
        QTest::qWait(200);
        QCOMPARE(ticks, SplashScreen::Ticks);
        QCOMPARE(mainWindowsAlive(), 1);
        QVERIFY(s.app.splash.isLoaded() && !s.splash()->isVisible());
    }

    void timerStopsBeforeTheMainWindowLoads()
    {
        Start s;
        s.app.start();
        SplashScreen *splash = s.splash();
        for (int tick = 1; tick < SplashScreen::Ticks; ++tick) {
            splash->tick();
        }
        QList<bool> timerActiveDuringLoad;
        s.during = [&] {
            timerActiveDuringLoad.append(splash->tickTimer->isActive());
            // A tick that was already queued when the load began.
            splash->tick();
        };
        splash->tick();
        s.during = nullptr;
        QVERIFY(!timerActiveDuringLoad.isEmpty()); // the load did let events run
        QVERIFY(!timerActiveDuringLoad.contains(true));
        QCOMPARE(mainWindowsAlive(), 1);
        QVERIFY(s.app.passwordDialog.isLoaded());
    }

    void mainWindow_isShownThenHiddenByThePasswordDialog()
    {
        Start s;
        s.app.start();
        for (int tick = 1; tick <= SplashScreen::Ticks; ++tick) {
            s.splash()->tick();
        }
        // Its load ended by opening the dialog, in create mode on an empty folder.
        QVERIFY(s.app.passwordDialog.isLoaded());
        QCOMPARE(s.app.passwordDialog.get()->mode(), PasswordDialog::Mode::Create);
        MainWindow *main = s.app.mainWindow.get();
        QVERIFY(main->isVisible());
        QTRY_VERIFY_WITH_TIMEOUT(!main->isVisible(), 1000);
        // The main window took the splash window's icon at its load.
        QCOMPARE(main->windowIcon().cacheKey(), s.splash()->windowIcon().cacheKey());
    }

    void window_isExactlyThePicture()
    {
        Start s;
        s.app.start();
        SplashScreen *splash = s.splash();
        const QPixmap picture(u":/splash.png"_s);
        QVERIFY(!picture.isNull());
        QCOMPARE(splash->picture->pos(), QPoint(0, 0));
        QCOMPARE(splash->picture->size(), picture.size());
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

    void start_fillsThePublisherSettingsFromTheBuild()
    {
        Start s;
        s.app.publisher() = {};
        s.app.start();
        const PublisherSettings &p = s.app.publisher();
        const PublisherSettings build = PublisherSettings::fromBuild();
        QCOMPARE(p.productName, u"Brisvane"_s);
        QCOMPARE(p.companyName, build.companyName);
        QCOMPARE(p.publisherUrl, build.publisherUrl);
        QVERIFY(!p.companyName.isEmpty());
        QVERIFY(!p.publisherUrl.isEmpty() && !p.publisherUrl.contains(u"://"_s));
        QCOMPARE(p.versionMajor, build.versionMajor);
        QCOMPARE(p.versionMinor, build.versionMinor);
#ifdef BRISVANE_USE_SKIN
        QVERIFY(p.useSkin);
#else
        QVERIFY(!p.useSkin);
#endif
        QVERIFY(p.useSplashIcon);
    }
};

QTEST_MAIN(tst_SplashScreen)
#include "tst_SplashScreen.moc"
