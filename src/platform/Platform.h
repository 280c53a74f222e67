#pragma once

#include <QString>
#include <QUrl>

#include <functional>

class QObject;
class QWidget;

// The operations that the program asks of the desktop, one small interface each. The program runs with the Qt
// implementations (QtPlatform.h); tests hand in fakes.

class MessageBoxes {
public:
    // OkCancelByDefaultCancel: OK and Cancel, with Cancel the default, for a question whose OK is risky.
    enum class Buttons { Ok, OkCancel, RetryCancel, OkCancelByDefaultCancel };
    enum class Answer { Ok, Cancel, Retry };
    virtual ~MessageBoxes() = default;
    // A box without an icon. An empty title shows the application title, "Brisvane Full". With OK and Cancel, OK
    // is the default button; closing the box answers Cancel.
    virtual Answer show(QWidget *parent, const QString &text, const QString &title, Buttons buttons) = 0;
};

class Clipboard {
public:
    virtual ~Clipboard() = default;
    virtual void clear() = 0;
    // Plain text, marked for clipboard managers as a secret that their history must not keep.
    virtual void setSecretText(const QString &text) = 0;
};

class Opener {
public:
    enum class Request { Location, Website };
    // An open that failed: the opener could not be started (reported at once, or as soon as the system says so), or
    // it ended with an error (reported when it ends). `reason` gives the error number or the opener's own words.
    using FailureReport = std::function<void(Request request, const QUrl &address, const QString &reason)>;

    virtual ~Opener() = default;
    // Where failed opens are reported, for as long as `context` exists.
    virtual void setFailureReport(QObject *context, FailureReport report) = 0;
    // Hands an address to the desktop's opener without waiting for it: one process, the address its one argument,
    // no shell. The opener is watched while it runs; a failure goes to the report.
    virtual void openLocation(const QUrl &address) = 0;
    // The same for the publisher's website.
    virtual void openUrl(const QUrl &address) = 0;
};

class SettingsStore {
public:
    virtual ~SettingsStore() = default;
    virtual QString read(const QString &application, const QString &section, const QString &key,
                         const QString &defaultValue) = 0;
    virtual void write(const QString &application, const QString &section, const QString &key,
                       const QString &value) = 0;
};

class ProgramEnd {
public:
    virtual ~ProgramEnd() = default;
    // Ends the program: from the call on nothing of it runs any more (no window gets a close event, nothing is
    // written), the event loop returns, and the process exits with the status once the program's objects are gone.
    // Callers return right after, since the end comes only when they have returned, and a test's fake records the
    // call instead of ending. The exit status is 0 for an ordinary end and 1 where the program ends because it could
    // not open or create its vault; the first end asked for holds.
    virtual void endProgram(int exitStatus) = 0;
};

class EventPump {
public:
    virtual ~EventPump() = default;
    virtual void processEvents() = 0;
};

struct Platform {
    MessageBoxes &messages;
    Clipboard &clipboard;
    Opener &opener;
    SettingsStore &settings;
    ProgramEnd &end;
    EventPump &events;
};

inline constexpr char ApplicationTitle[] = "Brisvane Full";
