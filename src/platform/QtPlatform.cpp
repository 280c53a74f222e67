#include "platform/QtPlatform.h"

#include <QApplication>
#include <QClipboard>
#include <QDesktopServices>
#include <QDir>
#include <QMessageBox>
#include <QMimeData>
#include <QProcess>
#include <QPushButton>
#include <QSettings>

#include <cstdio>
#include <cstdlib>

using namespace Qt::StringLiterals;

namespace {

class QtMessageBoxes final : public MessageBoxes {
public:
    Answer show(QWidget *parent, const QString &text, const QString &title, Buttons buttons) override
    {
        QMessageBox box(parent);
        box.setIcon(QMessageBox::NoIcon);
        box.setTextFormat(Qt::PlainText); // a password such as "<b>x" shows as typed
        box.setText(text);
        box.setWindowTitle(title.isEmpty() ? QString::fromLatin1(ApplicationTitle) : title);
        box.setAccessibleName(box.windowTitle());
        box.setAccessibleDescription(text);
        switch (buttons) {
        case Buttons::Ok:
            box.setStandardButtons(QMessageBox::Ok);
            box.setEscapeButton(QMessageBox::Ok);
            break;
        case Buttons::OkCancel:
            box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
            box.setDefaultButton(QMessageBox::Ok);
            box.setEscapeButton(QMessageBox::Cancel);
            break;
        case Buttons::RetryCancel:
            box.setStandardButtons(QMessageBox::Retry | QMessageBox::Cancel);
            box.setDefaultButton(QMessageBox::Retry);
            box.setEscapeButton(QMessageBox::Cancel);
            break;
        }
        // Above a topmost dialog too, like the dialog it answers.
        if (parent && parent->windowFlags().testFlag(Qt::WindowStaysOnTopHint)) {
            box.setWindowFlag(Qt::WindowStaysOnTopHint, true);
        }
        switch (box.exec()) {
        case QMessageBox::Ok:
            return Answer::Ok;
        case QMessageBox::Retry:
            return Answer::Retry;
        default:
            return Answer::Cancel;
        }
    }
};

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
#ifdef Q_OS_WIN
        const QString program = u"explorer"_s;
        const QStringList arguments{address.isLocalFile() ? QDir::toNativeSeparators(address.toLocalFile())
                                                          : address.toString()};
#else
        const QString program = u"xdg-open"_s;
        const QStringList arguments{address.toString(QUrl::FullyEncoded)};
#endif
        QProcess process;
        process.setProgram(program);
        process.setArguments(arguments);
        process.setStandardInputFile(QProcess::nullDevice());
        if (!process.startDetached()) {
            if (error) {
                *error = process.errorString();
            }
            return false;
        }
        return true;
    }
    void openUrl(const QUrl &address) override
    {
        QDesktopServices::openUrl(address);
    }
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
    void endProgram() override
    {
        if (beforeEnd) {
            beforeEnd();
        }
        std::fflush(nullptr);
        std::_Exit(0);
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
