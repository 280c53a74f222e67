// The splash window on its own: a borderless window that is exactly its picture, titled with the product's name,
// whose timer lasts exactly 75 ticks and then says so once and hides the window.

#include "core/PublisherSettings.h"
#include "support/Widgets.h"
#include "ui/SplashScreen.h"

#include <QLabel>
#include <QScreen>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

using namespace Qt::StringLiterals;

namespace {

// The timer runs from the constructor, and on the offscreen platform show() may run a tick that is already due:
// its ticks are counted from before show().
struct Splash {
    Splash()
    {
        QObject::connect(timer(), &QTimer::timeout, [this] { ++timerTicks; });
        window.show();
    }
    QTimer *timer() const { return child<QTimer>(&window, u"tickTimer"_s); }

    const PublisherSettings publisher = PublisherSettings::fromBuild();
    SplashScreen window{publisher};
    QSignalSpy finished{&window, &SplashScreen::finished};
    int timerTicks = 0;
};

} // namespace

class tst_SplashScreen : public QObject {
    Q_OBJECT

private slots:
    void tick75_finishesOnceAndHides_notBefore()
    {
        Splash s;
        QVERIFY(s.timer()->isActive());
        // The other ticks are called here one by one; no event loop runs in between.
        for (int tick = s.timerTicks + 1; tick < SplashScreen::Ticks; ++tick) {
            s.window.tick();
            QVERIFY2(s.finished.isEmpty(), qPrintable(u"finished at tick %1"_s.arg(tick)));
        }
        QCOMPARE(s.window.counter(), qint16(148));
        QVERIFY(s.timer()->isActive());
        QVERIFY(s.window.isVisible());

        s.window.tick();
        QCOMPARE(s.window.counter(), qint16(150));
        QCOMPARE(s.finished.size(), 1);
        QVERIFY(!s.timer()->isActive());
        QVERIFY(!s.window.isVisible());
    }

    void realTimer_ticksExactly75Times()
    {
        Splash s;
        QTRY_COMPARE_WITH_TIMEOUT(s.finished.size(), 1, 10000);
        QTest::qWait(200);
        QCOMPARE(s.timerTicks, SplashScreen::Ticks);
        QCOMPARE(s.finished.size(), 1);
        QVERIFY(!s.window.isVisible());
    }

    void window_isExactlyThePictureTitledWithTheProduct()
    {
        Splash s;
        SplashScreen &splash = s.window;
        const QPixmap picture(u":/splash.png"_s);
        QVERIFY(!picture.isNull());
        auto *label = child<QLabel>(&splash, u"picture"_s);
        QCOMPARE(label->pos(), QPoint(0, 0));
        QCOMPARE(label->size(), picture.size());
        QCOMPARE(splash.size(), picture.size());
        QCOMPARE(splash.minimumSize(), splash.maximumSize());
        QVERIFY(splash.windowFlags().testFlag(Qt::FramelessWindowHint));
        QCOMPARE(splash.windowType(), Qt::SplashScreen);
        QCOMPARE(splash.parentWidget(), nullptr);
        const QRect screen = splash.screen()->availableGeometry();
        QVERIFY(std::abs(splash.frameGeometry().center().x() - screen.center().x()) <= 1);
        QVERIFY(std::abs(splash.frameGeometry().center().y() - screen.center().y()) <= 1);
        QCOMPARE(splash.windowTitle(), u"Brisvane"_s);
        QVERIFY(!splash.accessibleName().isEmpty() && !label->accessibleName().isEmpty());
    }
};

QTEST_MAIN(tst_SplashScreen)
#include "tst_SplashScreen.moc"
