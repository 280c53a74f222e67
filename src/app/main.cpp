#include "app/Application.h"
#include "core/VaultFile.h"
#include "core/VaultLock.h"
#include "core/VaultPath.h"
#include "core/VaultStore.h"
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
        // Only the holder of the real file's lock may tidy its folder: another copy's save may be under way there.
        VaultFile::removeLeftovers(lock.vaultPath());
        break;
    case VaultLock::Outcome::Unavailable:
        // Said once, at the start. Where no vault file can be there at all, the store says so and ends instead.
        if (VaultPath::notAVaultFile(vault).isEmpty()) {
            qt.platform().messages.show(
                nullptr,
                u"Brisvane could not lock this vault:\r\n"_s + vault +
                    u"\r\n\r\nNeither a lock file beside it nor a lock on the file itself is possible there. Brisvane "
                    u"opens it all the same, but a second copy of Brisvane started on this vault could overwrite "
                    u"its saves: run only one at a time."_s,
                {}, MessageBoxes::Buttons::Ok);
        }
        break;
    }
    qt.setBeforeEnd([&lock] { lock.release(); });

    Application application(qt.platform(), folder);
    application.store().setFileLockHolder(&lock);
    application.start();
    return app.exec();
}
