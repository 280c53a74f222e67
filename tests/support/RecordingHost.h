#pragma once

#include "core/VaultHost.h"

#include <QStringList>

// The rest of the program as the vault store sees it, reduced to a record of what the store asked for.
class RecordingHost final : public VaultHost {
public:
    void setStatusText(const QString &text) override
    {
        calls.append(QStringLiteral("setStatusText"));
        statusTexts.append(text);
    }
    void showCreatePassword() override { calls.append(QStringLiteral("showCreatePassword")); }
    void showEnterPassword() override { calls.append(QStringLiteral("showEnterPassword")); }
    void closePasswordDialog() override { calls.append(QStringLiteral("closePasswordDialog")); }
    void processEvents() override { calls.append(QStringLiteral("processEvents")); }
    void finishStartup() override { calls.append(QStringLiteral("finishStartup")); }
    void reportSaveFailure(const QString &text) override
    {
        calls.append(QStringLiteral("reportSaveFailure"));
        saveFailures.append(text);
    }
    void reportSaveNotConfirmed(const QString &text) override
    {
        calls.append(QStringLiteral("reportSaveNotConfirmed"));
        notConfirmed.append(text);
    }
    void fatalError(const QString &text) override
    {
        calls.append(QStringLiteral("fatalError"));
        fatalErrors.append(text);
    }

    QString lastStatus() const { return statusTexts.isEmpty() ? QString() : statusTexts.last(); }
    void clear() { *this = RecordingHost(); }

    QStringList calls; // the name of every call, in order
    QStringList statusTexts;
    QStringList saveFailures;
    QStringList notConfirmed;
    QStringList fatalErrors;
};
