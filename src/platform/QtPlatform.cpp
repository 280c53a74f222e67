#include "platform/QtPlatform.h"

#include "platform/ClipboardHandover.h"
#include "platform/DesktopOpener.h"
#include "platform/QtMessageBoxes.h"
#include "platform/SecretClipboard.h"

#include <QApplication>
#include <QClipboard>
#include <QSettings>

#include <cstdio>
#include <cstdlib>

using namespace Qt::StringLiterals;

namespace {

class QtClipboard final : public Clipboard {
public:
    void clear() override { QGuiApplication::clipboard()->clear(); }
    void setSecretText(const QString &text) override { SecretClipboard::setText(text); }
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
    DesktopOpener opener;
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
