#include "app/Application.h"
#include "core/VaultLock.h"
#include "platform/DisplayServer.h"
#include "platform/ProcessPrivacy.h"
#include "platform/QtPlatform.h"
#include "ui/ScreenReaderEvents.h"

#include <QApplication>

using namespace Qt::StringLiterals;

int main(int argc, char *argv[])
{
    ProcessPrivacy::closeToOtherProcesses();
    const bool chosen = DisplayServer::choose();
    QApplication app(argc, argv);
    if (chosen) {
        DisplayServer::forgetChoice();
    }
    QApplication::setApplicationName(u"Brisvane"_s);
    QApplication::setOrganizationName(u"Brisvane"_s);
    // Docks and task bars find the launcher entry, brisvane.desktop, and its icon by this name.
    QGuiApplication::setDesktopFileName(u"brisvane"_s);
    // Between the password dialog's going and the main window's showing no window is visible; the program ends
    // only where it says so.
    QApplication::setQuitOnLastWindowClosed(false);
    ScreenReaderEvents::install();

    QtPlatform qt;
    Application application(qt.platform(), QCoreApplication::applicationDirPath());
    if (!application.start()) {
        return 1;
    }
    qt.setBeforeEnd([&application] { application.vaultLock().release(); });
    return app.exec();
}
