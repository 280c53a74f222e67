#pragma once

#include "platform/Platform.h"

#include <QList>
#include <QMap>
#include <QString>
#include <QUrl>

#include <functional>

// Platform operations for widget tests: message boxes answer from a script and record what they showed, the
// clipboard and the opener record, settings live in memory, and ending the program is only counted.
class FakeMessageBoxes final : public MessageBoxes {
public:
    struct Shown {
        QString text;
        QString title; // as the user sees it: "Brisvane Full" where the caller gave none
        Buttons buttons;
    };
    Answer show(QWidget *parent, const QString &text, const QString &title, Buttons buttons) override;

    QList<Shown> shown;
    QList<Answer> answers; // taken from the front; when empty, the first button answers
    std::function<void(const Shown &)> onShow;
};

class FakeClipboard final : public Clipboard {
public:
    void clear() override
    {
        text.clear();
        hasText = false;
        ++clears;
    }
    void setSecretText(const QString &t) override
    {
        text = t;
        hasText = true;
    }
    QString text;
    bool hasText = false;
    int clears = 0;
};

class FakeOpener final : public Opener {
public:
    void setFailureReport(QObject *, FailureReport r) override { report = std::move(r); }
    void openLocation(const QUrl &address) override;
    void openUrl(const QUrl &address) override { urls.append(address); }

    QList<QUrl> locations;
    QList<QUrl> urls;
    bool failToStart = false; // each open is reported as failed at once, and not recorded
    FailureReport report;
};

class FakeSettings final : public SettingsStore {
public:
    QString read(const QString &application, const QString &section, const QString &key,
                 const QString &defaultValue) override;
    void write(const QString &application, const QString &section, const QString &key, const QString &value) override;

    QMap<QString, QString> values; // "application/section/key"
    QList<QString> reads;          // "application/section/key", in order
    QList<QString> writes;         // "application/section/key=value", in order
};

class FakeProgramEnd final : public ProgramEnd {
public:
    void endProgram(int exitStatus) override
    {
        ++ends;
        lastExitStatus = exitStatus;
    }
    int ends = 0;
    int lastExitStatus = -1;
};

class FakeEventPump final : public EventPump {
public:
    void processEvents() override
    {
        ++calls;
        if (onProcess) {
            onProcess();
        }
    }
    int calls = 0;
    std::function<void()> onProcess; // e.g. to let events run for real, or to look in during a load
};

struct FakePlatform {
    FakeMessageBoxes messages;
    FakeClipboard clipboard;
    FakeOpener opener;
    FakeSettings settings;
    FakeProgramEnd end;
    FakeEventPump events;
    Platform platform{messages, clipboard, opener, settings, end, events};
};
