// Linked into every test program. The offscreen platform, on which the widget tests run, cannot pass a window's
// size limits on or raise a window, and Qt warns of that each time a window is shown, sized or raised. Those two
// warnings say nothing about the program, so they are dropped before they reach the test's log; every other
// message passes on unchanged.
//
// QtTest puts its own message handler in place when the test run starts, after the application exists, so the
// filter goes in front of it once a first window is created.

#include <QCoreApplication>
#include <QEvent>
#include <QGuiApplication>
#include <QString>

using namespace Qt::StringLiterals;

namespace {

QtMessageHandler next = nullptr;

void dropOffscreenLimits(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    if (type == QtWarningMsg && (message == "This plugin does not support propagateSizeHints()"_L1 ||
                                 message == "This plugin does not support raise()"_L1)) {
        return;
    }
    next(type, context, message);
}

class FilterInstaller final : public QObject {
protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::PlatformSurface) {
            // Put back in front whenever another handler took its place, and never pass a message to itself.
            const QtMessageHandler previous = qInstallMessageHandler(dropOffscreenLimits);
            if (previous != dropOffscreenLimits) {
                next = previous;
            }
        }
        return false;
    }
};

void installOnOffscreen()
{
    if (QGuiApplication::platformName() == "offscreen"_L1) {
        QCoreApplication::instance()->installEventFilter(new FilterInstaller);
    }
}

} // namespace

Q_COREAPP_STARTUP_FUNCTION(installOnOffscreen)
