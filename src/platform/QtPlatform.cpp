#include "platform/QtPlatform.h"

#include "platform/ClipboardHandover.h"
#include "platform/QtMessageBoxes.h"

#include <QApplication>
#include <QClipboard>
#include <QDesktopServices>
#include <QMimeData>
#include <QProcess>
#include <QSettings>
#include <QStandardPaths>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

using namespace Qt::StringLiterals;

namespace {

class QtClipboard final : public Clipboard {
public:
    void clear() override { QGuiApplication::clipboard()->clear(); }
    void setSecretText(const QString &text) override
    {
        auto *data = new QMimeData;
        data->setText(text);
        data->setData(u"x-kde-passwordManagerHint"_s, QByteArrayLiteral("secret"));
        QGuiApplication::clipboard()->setMimeData(data);
    }
};

class QtOpener final : public Opener {
public:
    bool openLocation(const QUrl &address, QString *error) override
    {
        // Without the opener QProcess says only "execv: No such file or directory"; the user needs to know which
        // program is missing and where it comes from.
        if (QStandardPaths::findExecutable(u"xdg-open"_s).isEmpty()) {
            if (error) {
                *error = u"error %1: %2\r\n\r\nThe desktop's opener, the program xdg-open, is not installed. "
                         u"Install the package xdg-utils (on Debian and Ubuntu: sudo apt install xdg-utils), then "
                         u"try again."_s.arg(ENOENT)
                             .arg(QString::fromLocal8Bit(std::strerror(ENOENT)));
            }
            return false;
        }
        QProcess process;
        process.setProgram(u"xdg-open"_s);
        process.setArguments({address.toString(QUrl::FullyEncoded)});
        process.setStandardInputFile(QProcess::nullDevice());
        if (!process.startDetached()) {
            if (error) {
                *error = process.errorString();
            }
            return false;
        }
        return true;
    }
    void openUrl(const QUrl &address) override { QDesktopServices::openUrl(address); }
};

class QtSettingsStore final : public SettingsStore {
public:
    QString read(const QString &application, const QString &section, const QString &key,
                 const QString &defaultValue) override
    {
        QSettings settings(QSettings::UserScope, application, application);
        return settings.value(section + u'/' + key, defaultValue).toString();
    }
    void write(const QString &application, const QString &section, const QString &key, const QString &value) override
    {
        QSettings settings(QSettings::UserScope, application, application);
        settings.setValue(section + u'/' + key, value);
    }
};

class QtProgramEnd final : public ProgramEnd {
public:
    void endProgram(int exitStatus) override
    {
        // Copied text outlives the program where a clipboard manager takes it; the wait for it stays short.
        ClipboardHandover::toManager(std::chrono::milliseconds(300));
        if (beforeEnd) {
            beforeEnd();
        }
        std::fflush(nullptr);
        std::_Exit(exitStatus);
    }
    std::function<void()> beforeEnd;
};

class QtEventPump final : public EventPump {
public:
    void processEvents() override { QCoreApplication::processEvents(); }
};

} // namespace

struct QtPlatform::Parts {
    QtMessageBoxes messages;
    QtClipboard clipboard;
    QtOpener opener;
    QtSettingsStore settings;
    QtProgramEnd end;
    QtEventPump events;
};

QtPlatform::QtPlatform()
    : parts_(std::make_unique<Parts>()), platform_{parts_->messages, parts_->clipboard, parts_->opener,
                                                   parts_->settings, parts_->end,       parts_->events}
{}

QtPlatform::~QtPlatform() = default;

void QtPlatform::setBeforeEnd(std::function<void()> hook)
{
    parts_->end.beforeEnd = std::move(hook);
}
