#include "support/AppFixture.h"

#include "core/EntryListModel.h"
#include "ui/EntryListView.h"
#include "ui/MainWindow.h"
#include "core/CodePage1252.h"
#include "core/VaultFormat.h"
#include "core/VaultStore.h"

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

    program.publisher() = PublisherSettings::fromBuild();
    fake.settings.values.insert(program.publisher().productName + u"/Settings/showHelp"_s, u"0"_s);
    // The main window's load reads line 1 and opens the password dialog; the dialog would then unlock with this.
    program.mainWindow.load(program);
    program.store().setMasterPassword(MasterPassword);
    program.store().load();
    deleteUnloaded();
}

ProgramFixture::~ProgramFixture() = default;

QByteArray ProgramFixture::vaultFor(const Rows &rows)
{
    QByteArray password;
    CodePage1252::fromUnicode(MasterPassword, password);
    return VaultFormat::serialize(password, entriesOf(rows));
}

MainWindow &ProgramFixture::main() const
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
