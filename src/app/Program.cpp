#include "app/Program.h"

#include "platform/DisplayServer.h"
#include "platform/ProcessPrivacy.h"
#include "ui/ScreenReaderEvents.h"

using namespace Qt::StringLiterals;

bool Program::prepareProcess()
{
    ProcessPrivacy::closeToOtherProcesses();
    return DisplayServer::choose();
}

Program::Program(int &argc, char **argv) : displayServerChosen_(prepareProcess()), qtApplication_(argc, argv)
{
    if (displayServerChosen_) {
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
    application_.emplace(qt_.platform(), QCoreApplication::applicationDirPath());
}

Program::~Program() = default;

int Program::run()
{
    // The start's first step is the vault's lock: where it is refused, the program ends before its event loop runs.
    if (!application_->start()) {
        return 1;
    }
    return qt_.exec();
}
