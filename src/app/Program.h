#pragma once

#include "app/Application.h"
#include "platform/QtPlatform.h"

#include <QApplication>

#include <optional>

// The process around the running program, made in the order that it needs and destroyed in reverse: the process
// closed to other processes and the display server chosen, before anything of Qt; the application object and its
// names; the platform's Qt operations; the running program (Application). Its destruction unloads the windows and
// gives the vault's lock up; the application object's, last, hands the clipboard to the desktop's clipboard manager.
class Program final {
public:
    // `argc` must outlive the program, as QApplication requires: main's own.
    Program(int &argc, char **argv);
    ~Program();
    Q_DISABLE_COPY_MOVE(Program)

    // Starts the running program and runs the event loop until the program ends. Returns the exit status: 0 for an
    // ordinary end, 1 where the vault could not be locked, opened or created.
    int run();

private:
    // What must hold before Qt starts. True when the display server was chosen through the environment.
    static bool prepareProcess();

    const bool displayServerChosen_;
    QApplication qtApplication_;
    QtPlatform qt_;
    // Made last, once Qt is set up; destroyed first.
    std::optional<Application> application_;
};
