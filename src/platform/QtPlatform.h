#pragma once

#include "platform/Platform.h"

#include <functional>
#include <memory>

// The platform operations on Qt: QMessageBox, QClipboard, the desktop's opener, QSettings, the event loop.
class QtPlatform final {
public:
    QtPlatform();
    ~QtPlatform();
    Q_DISABLE_COPY_MOVE(QtPlatform)

    Platform &platform() { return platform_; }

    // Runs just before the process ends at once (the vault lock is released there).
    void setBeforeEnd(std::function<void()> hook);

private:
    struct Parts;
    std::unique_ptr<Parts> parts_;
    Platform platform_;
};
