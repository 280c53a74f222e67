#pragma once

#include <QString>

// What the vault store asks of the rest of the program: the status bar, the password dialog, the end of the
// start-up, and the messages for failures.
class VaultHost {
public:
    virtual ~VaultHost() = default;
    virtual void setStatusText(const QString &text) = 0;
    virtual void showCreatePassword() = 0;
    virtual void showEnterPassword() = 0;
    virtual void closePasswordDialog() = 0;
    virtual void processEvents() = 0;
    virtual void finishStartup() = 0;
    // A save failed; the program goes on with the change still in the list.
    virtual void reportSaveFailure(const QString &text) = 0;
    // A save wrote the vault, but the disk did not confirm that it holds it: it may not survive a power cut until a
    // later save is confirmed.
    virtual void reportSaveNotConfirmed(const QString &text) = 0;
    // The vault cannot be read or created; the program shows the text and ends without writing anything.
    virtual void fatalError(const QString &text) = 0;
};
