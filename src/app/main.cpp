#include "app/Application.h"
#include "core/VaultFile.h"
#include "core/VaultLock.h"
#include "core/VaultPath.h"
#include "platform/ProcessPrivacy.h"
#include "platform/QtPlatform.h"

#include <QApplication>

using namespace Qt::StringLiterals;

int main(int argc, char *argv[])
{
    ProcessPrivacy::closeToOtherProcesses();
    QApplication app(argc, argv);
    QApplication::setApplicationName(u"Brisvane"_s);
    QApplication::setOrganizationName(u"Brisvane"_s);
    // Between the password dialog's going and the main window's showing no window is visible; the program ends
    // only where it says so.
    QApplication::setQuitOnLastWindowClosed(false);

    QtPlatform qt;
    const QString folder = QCoreApplication::applicationDirPath();
    const QString vault = VaultPath::inFolder(folder);

    VaultLock lock(vault);
    switch (lock.acquire()) {
    case VaultLock::Outcome::HeldByAnother:
        qt.platform().messages.show(nullptr,
                                    u"Brisvane is already open with this vault:\r\n"_s + vault +
                                        u"\r\n\r\nSwitch to the window that is open, or close it first."_s,
                                    {}, MessageBoxes::Buttons::Ok);
        return 1;
    case VaultLock::Outcome::Locked:
        VaultFile::removeLeftovers(vault);
        break;
    case VaultLock::Outcome::Unavailable:
        break; // a folder that refuses the lock file; the program goes on without it
    }
    qt.setBeforeEnd([&lock] { lock.release(); });

    Application application(qt.platform(), folder);
    application.start();
    return app.exec();
}
