#include "support/AppFixture.h"

#include "core/CodePage1252.h"
#include "core/EntryListModel.h"
#include "core/VaultFormat.h"
#include "core/VaultStore.h"
#include "support/Widgets.h"
#include "ui/EntryListView.h"
#include "ui/MainWindow.h"
#include "ui/PasswordDialog.h"

#include <QCoreApplication>
#include <QFile>
#include <QLabel>
#include <QLineEdit>

#include <cerrno>

using namespace Qt::StringLiterals;

const AppFixture::Rows AppFixture::ThreeRows{
    {u"carol"_s, u"c-pass"_s, u"www.c.example"_s},
    {u"alice"_s, u"<b>a-pass"_s, u"/home/alice"_s},
    {u"Bob"_s, u"b-pass"_s, QString()},
};

AppFixture::AppFixture(const BeforeStart &before)
    : application_(std::make_unique<Application>(fake.platform, dir.path())), app(*application_)
{
    if (before.vault) {
        writeFile(vaultPath(), *before.vault);
    }
    fake.settings.values.insert(app.publisher().productName + u"/Settings/showHelp"_s, u"0"_s);
}

AppFixture::AppFixture(const Rows &rows) : AppFixture(BeforeStart{vaultFor(rows)})
{
    // The main window's load reads the vault and opens the password dialog, which the master password unlocks.
    app.loadMainWindow();
    PasswordDialog *dialog = app.passwordDialog();
    child<QLineEdit>(dialog, u"passwordBox"_s)->setText(MasterPassword);
    dialog->confirm();
    deleteUnloaded();
}

AppFixture::~AppFixture()
{
    application_.reset();
    deleteUnloaded();
}

QByteArray AppFixture::vaultFor(const Rows &rows, const QString &password)
{
    std::vector<Entry> entries;
    for (const QStringList &r : rows) {
        entries.push_back(Entry::fromText(r.value(0), r.value(1), r.value(2)));
    }
    QByteArray passwordBytes;
    CodePage1252::fromUnicode(password, passwordBytes);
    return VaultFormat::serialize(passwordBytes, entries);
}

void AppFixture::writeFile(const QString &path, const QByteArray &bytes) const
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size()) {
        qFatal("the fixture could not write %s", qPrintable(path));
    }
}

MainWindow &AppFixture::main() const
{
    return *app.mainWindow();
}

QString AppFixture::vaultPath() const
{
    return dir.filePath(u"data.enc"_s);
}

QByteArray AppFixture::vaultBytes() const
{
    QFile file(vaultPath());
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

void AppFixture::writeHelpFile(const QByteArray &rtf) const
{
    writeFile(app.helpFilePath(), rtf);
}

AppFixture::Rows AppFixture::rows()
{
    Rows out;
    const EntryListModel &model = entries();
    for (int i = 0; i < model.rowCount(); ++i) {
        const Entry &e = model.entry(i);
        out.append({e.text(Entry::Username), e.text(Entry::Password), e.text(Entry::Location)});
    }
    return out;
}

QString AppFixture::status() const
{
    return child<QLabel>(&main(), u"statusPanel"_s)->text();
}

QStringList AppFixture::messageTexts() const
{
    QStringList out;
    for (const FakeMessageBoxes::Shown &shown : fake.messages.shown) {
        out.append(shown.text);
    }
    return out;
}

void AppFixture::select(const QList<int> &rowsToSelect)
{
    selectRows(child<EntryListView>(&main(), u"entryList"_s), rowsToSelect);
}

void AppFixture::failSaves()
{
    app.store().setFaultHook([](VaultFile::Step step) { return step == VaultFile::Step::Rename ? EIO : 0; });
}

void AppFixture::deleteUnloaded()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}
