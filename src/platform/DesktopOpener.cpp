#include "platform/DesktopOpener.h"

#include <QDir>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryFile>

#include <cerrno>
#include <cstring>

using namespace Qt::StringLiterals;

namespace {

const QString OpenerProgram = u"xdg-open"_s;

QString openerErrorText(int error)
{
    return u"error %1: %2"_s.arg(error).arg(QString::fromLocal8Bit(std::strerror(error)));
}

// QProcess words a failed start as "<call>: <the system's words>" and keeps the number to itself; the words give
// it back.
QString startFailureText(const QString &words)
{
    const qsizetype colon = words.lastIndexOf(u": "_s);
    const QString system = colon < 0 ? words : words.mid(colon + 2);
    for (int error = 1; error < 256; ++error) {
        if (QString::fromLocal8Bit(std::strerror(error)) == system) {
            return openerErrorText(error);
        }
    }
    return words;
}

// The meanings that xdg-open gives its exit statuses.
QString exitMeaning(int status)
{
    switch (status) {
    case 1:
        return u"it did not understand its command line"_s;
    case 2:
        return u"the file does not exist"_s;
    case 3:
        return u"no program was found to open it"_s;
    case 4:
        return u"the program that should open it failed"_s;
    }
    return {};
}

QString exitText(const QProcess &process, QTemporaryFile *words)
{
    QString text;
    if (process.exitStatus() == QProcess::CrashExit) {
        text = OpenerProgram + u" ended abnormally."_s;
    } else {
        const int status = process.exitCode();
        const QString meaning = exitMeaning(status);
        text = u"%1 ended with exit status %2"_s.arg(OpenerProgram).arg(status) +
               (meaning.isEmpty() ? u"."_s : u": "_s + meaning + u'.');
    }
    if (words && words->seek(0)) {
        const QByteArray said = words->read(DesktopOpener::MaxWordsBytes + 1);
        QString shown = QString::fromLocal8Bit(said.first(qMin(said.size(), DesktopOpener::MaxWordsBytes))).trimmed();
        if (said.size() > DesktopOpener::MaxWordsBytes) {
            shown += u'\u2026';
        }
        if (!shown.isEmpty()) {
            text += u"\r\n\r\n"_s + OpenerProgram + u" said: "_s + shown;
        }
    }
    return text;
}

} // namespace

DesktopOpener::DesktopOpener() = default;

// An opener still at work when the platform goes is stopped and reaped with its QProcess. The program that it
// started, if any, is not its to stop: it goes on. (The program's ordinary end leaves the opener to finish.)
DesktopOpener::~DesktopOpener() = default;

void DesktopOpener::setFailureReport(QObject *context, FailureReport report)
{
    context_ = context;
    report_ = std::move(report);
}

void DesktopOpener::report(Request request, const QUrl &address, const QString &reason)
{
    if (context_ && report_) {
        report_(request, address, reason);
    }
}

void DesktopOpener::open(Request request, const QUrl &address)
{
    // Without the opener QProcess says only "execv: No such file or directory"; the user needs to know which
    // program is missing and where it comes from.
    if (QStandardPaths::findExecutable(OpenerProgram).isEmpty()) {
        report(request, address,
               openerErrorText(ENOENT) +
                   u"\r\n\r\nThe desktop's opener, the program xdg-open, is not installed. Install the package "
                   u"xdg-utils (on Debian and Ubuntu: sudo apt install xdg-utils), then try again."_s);
        return;
    }
    auto *process = new QProcess(&running_);
    process->setProgram(OpenerProgram);
    process->setArguments({address.toString(QUrl::FullyEncoded)});
    process->setStandardInputFile(QProcess::nullDevice());
    process->setProcessChannelMode(QProcess::ForwardedOutputChannel);
    // The opener's words go to a file that has no name once the opener runs: the program that it starts inherits
    // that output and may outlive the opener and this program, and a pipe would then break under it.
    auto *words = new QTemporaryFile(QDir::tempPath() + u"/brisvane-opener-XXXXXX"_s, process);
    if (words->open()) {
        process->setStandardErrorFile(words->fileName());
    } else {
        delete words;
        words = nullptr;
        process->setStandardErrorFile(QProcess::nullDevice());
    }

    // Queued: the report may show a message box, whose event loop must not run inside QProcess's own handling.
    QObject::connect(
        process, &QProcess::errorOccurred, process,
        [this, process, request, address](QProcess::ProcessError error) {
            if (error == QProcess::FailedToStart) {
                report(request, address, startFailureText(process->errorString()));
                process->deleteLater();
            }
        },
        Qt::QueuedConnection);
    QObject::connect(
        process, &QProcess::finished, process,
        [this, process, words, request, address] {
            if (process->exitStatus() != QProcess::NormalExit || process->exitCode() != 0) {
                report(request, address, exitText(*process, words));
            }
            process->deleteLater();
        },
        Qt::QueuedConnection);
    process->start();
    if (words) {
        QFile::remove(words->fileName());
    }
}
