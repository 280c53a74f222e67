#pragma once

#include "core/VaultHost.h"

#include <QStringList>

// The rest of the program as the vault store sees it, reduced to a record of what the store asked for.
class RecordingHost final : public VaultHost {
public:
    void setStatusText(const QString &text) override { statusTexts.append(text); }
    void showCreatePassword() override { ++createPasswordShown; }
    void showEnterPassword() override { ++enterPasswordShown; }
    void closePasswordDialog() override { ++dialogUnloads; }
    void processEvents() override {}
    void finishStartup() override { ++formLoadsFinished; }
    void reportSaveFailure(const QString &text) override { saveFailures.append(text); }
    void fatalError(const QString &text) override { fatalErrors.append(text); }

    QString lastStatus() const { return statusTexts.isEmpty() ? QString() : statusTexts.last(); }
    void clear() { *this = RecordingHost(); }

    QStringList statusTexts;
    QStringList saveFailures;
    QStringList fatalErrors;
    int createPasswordShown = 0;
    int enterPasswordShown = 0;
    int dialogUnloads = 0;
    int formLoadsFinished = 0;
};
