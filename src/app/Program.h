#pragma once

#include "core/VaultFile.h"
#include "platform/QtPlatform.h"

#include <QApplication>

// The process around the running program, made in the order that it needs and destroyed in reverse: the process
// closed to other processes and the display server chosen, before anything of Qt; the application object and its
// names; the platform's Qt operations. The running program itself (Application) lives for one run of the event loop.
class Program final {
public:
    // `argc` must outlive the program, as QApplication requires: main's own.
    Program(int &argc, char **argv);
    ~Program();
    Q_DISABLE_COPY_MOVE(Program)

    Platform &platform() { return qt_.platform(); }

    // Starts the running program and runs the event loop until the program ends, then unloads the windows. Returns
    // the exit status: 0 for an ordinary end, 1 where the vault could not be opened or created. The clipboard goes to
    // the desktop's clipboard manager afterwards, when the application object goes.
    int run(VaultFile::FileLockHolder *fileLock);

private:
    // What must hold before Qt starts. True when the display server was chosen through the environment.
    static bool prepareProcess();

    const bool displayServerChosen_;
    QApplication application_;
    QtPlatform qt_;
};
