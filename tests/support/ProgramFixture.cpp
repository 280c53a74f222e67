#include "support/ProgramFixture.h"

#include "shell/EntryListModel.h"
#include "shell/EntryListView.h"
#include "shell/Form1.h"
#include "vault/CodePage1252.h"
#include "vault/VaultFormat.h"
#include "vault/modGlobals.h"

#include <QCoreApplication>
#include <QFile>
#include <QItemSelectionModel>
#include <QTest>

#include <cerrno>

using namespace Qt::StringLiterals;

namespace {

std::vector<Entry> entriesOf(const ProgramFixture::Rows &rows)
{
    std::vector<Entry> out;
    for (const QStringList &r : rows) {
        out.push_back(Entry::fromText(r.value(0), r.value(1), r.value(2)));
    }
    return out;
}

} // namespace

ProgramFixture::ProgramFixture(const Rows &rows) : program(fake.platform, dir.path())
{
    QFile file(vaultPath());
    if (!file.open(QIODevice::WriteOnly) || file.write(vaultFor(rows)) < 0) {
        qFatal("the fixture could not write its vault");
    }
    file.close();

    InitPublisherSettings(program.publisher());
    fake.settings.values.insert(program.publisher().ProductName + u"/Settings/showHelp"_s, u"0"_s);
    // The main window's load reads line 1 and opens the password dialog; the dialog would then unlock with this.
    program.mainWindow.load(program);
    program.store().setMasterPassword(MasterPassword);
    program.store().LoadVault();
    deleteUnloaded();
}

ProgramFixture::~ProgramFixture() = default;

QByteArray ProgramFixture::vaultFor(const Rows &rows)
{
    QByteArray password;
    CodePage1252::fromUnicode(MasterPassword, password);
    return VaultFormat::serialize(password, entriesOf(rows));
}

Form1 &ProgramFixture::main() const
{
    return *program.mainWindow.get();
}

QString ProgramFixture::vaultPath() const
{
    return dir.filePath(u"data.enc"_s);
}

QByteArray ProgramFixture::vaultBytes() const
{
    QFile file(vaultPath());
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

ProgramFixture::Rows ProgramFixture::rows()
{
    Rows out;
    const EntryListModel &model = entries();
    for (int i = 0; i < model.rowCount(); ++i) {
        const Entry &e = model.entry(i);
        out.append({e.text(Entry::Username), e.text(Entry::Password), e.text(Entry::Location)});
    }
    return out;
}

QString ProgramFixture::status() const
{
    return main().statusText();
}

void ProgramFixture::select(const QList<int> &rowsToSelect)
{
    EntryListView *list = main().lstPass;
    list->selectionModel()->clearSelection();
    for (int row : rowsToSelect) {
        list->selectRow(row, true);
    }
}

void ProgramFixture::failSaves()
{
    program.store().setFaultHook([](VaultFile::Step step) { return step == VaultFile::Step::Rename ? EIO : 0; });
}

void ProgramFixture::deleteUnloaded()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}
