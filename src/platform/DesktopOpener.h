#pragma once

#include "platform/Platform.h"

#include <QObject>
#include <QPointer>

class QProcess;
class QTemporaryFile;

// The desktop's opener, xdg-open, started for one address at a time and watched without blocking: an opener that
// cannot be started, or that ends with an error, is reported with its error number or its own words. The opener
// is the program's child while it runs.
class DesktopOpener final : public Opener {
public:
    DesktopOpener();
    ~DesktopOpener() override;
    Q_DISABLE_COPY_MOVE(DesktopOpener)

    // At most this much of what the opener wrote to its error output is shown.
    static constexpr qint64 MaxWordsBytes = 2000;

    void setFailureReport(QObject *context, FailureReport report) override;
    void openLocation(const QUrl &address) override { open(Request::Location, address); }
    void openUrl(const QUrl &address) override { open(Request::Website, address); }

private:
    void open(Request request, const QUrl &address);
    void report(Request request, const QUrl &address, const QString &reason);

    // The running openers are its children.
    QObject running_;
    QPointer<QObject> context_;
    FailureReport report_;
};
