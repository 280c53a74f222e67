#include "platform/QtPlatform.h"

#include "platform/DesktopOpener.h"
#include "platform/QtMessageBoxes.h"
#include "platform/SecretClipboard.h"

#include <QApplication>
#include <QClipboard>
#include <QSettings>

#include <optional>

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

// Ends the program through its event loop: every loop that runs returns, the main one and any nested one (a message
// box's), and so does every loop started later. From the request on, no input, close, timer, socket or queued call
// reaches an object of the program, so nothing of it runs any more; then main's destructors run.
class QtProgramEnd final : public QObject, public ProgramEnd {
public:
    void endProgram(int exitStatus) override
    {
        // The first end holds: a caller that a nested loop returns to may still ask for one.
        if (!exitStatus_) {
            exitStatus_ = exitStatus;
            QCoreApplication::instance()->installEventFilter(this);
        }
        QCoreApplication::exit(*exitStatus_);
    }
    std::optional<int> exitStatus() const { return exitStatus_; }

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        switch (event->type()) {
        case QEvent::Close:
        case QEvent::Timer:
        case QEvent::SockAct:
        case QEvent::MetaCall:
            return true;
        default:
            return event->isInputEvent();
        }
    }

private:
    std::optional<int> exitStatus_;
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

int QtPlatform::exec()
{
    if (const auto exitStatus = parts_->end.exitStatus()) {
        return *exitStatus;
    }
    return QApplication::exec();
}
