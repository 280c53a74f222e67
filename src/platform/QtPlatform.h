#pragma once

#include "platform/Platform.h"

#include <memory>

// The platform operations on Qt: QMessageBox, QClipboard, the desktop's opener, QSettings, the event loop.
class QtPlatform final {
public:
    QtPlatform();
    ~QtPlatform();
    Q_DISABLE_COPY_MOVE(QtPlatform)

    Platform &platform() { return platform_; }

    // Runs the event loop until the program ends, and returns the end's exit status; at once where the end was asked
    // before the loop runs.
    int exec();

private:
    struct Parts;
    std::unique_ptr<Parts> parts_;
    Platform platform_;
};
