#include "commands/EntryCommands.h"

#include "commands/LocationAddress.h"
#include "commands/frmAdd.h"
#include "commands/frmWebsite.h"
#include "shell/EntryListModel.h"
#include "shell/EntryListView.h"
#include "shell/Form1.h"
#include "shell/Program.h"
#include "vault/modGlobals.h"

#include <QDir>
#include <QPersistentModelIndex>

using namespace Qt::StringLiterals;

namespace {

struct CopyField {
    Entry::Field field;
    const char16_t *statusPrefix;
};

constexpr CopyField CopyFields[] = {
    {Entry::Username, u"Copied Username "},
    {Entry::Password, u"Copied Password "},
    {Entry::Location, u"Copied Location "},
};

} // namespace

EntryCommands::EntryCommands(Program &program) : program_(program) {}

QWidget *EntryCommands::mainWindow() const
{
    return program_.mainWindow.get();
}

void EntryCommands::status(const QString &text)
{
    program_.SetStatusText(text);
}

qsizetype EntryCommands::FindSelectedRow() const
{
    const Form1 *main = program_.mainWindow.get();
    return main ? main->lstPass->firstSelectedRow() + 1 : 0;
}

void EntryCommands::cmdAdd_Click(int)
{
    program_.entryRequest.Mode = u"Add"_s;
    program_.entryDialog.open(program_);
}

void EntryCommands::cmdEdit_Click()
{
    const qsizetype i = FindSelectedRow();
    if (i == 0) {
        status(u"You must first select an entry to edit."_s);
        return;
    }
    const Entry &entry = program_.entries().entry(i - 1);
    EntryDialogRequest &request = program_.entryRequest;
    request.Username = entry.text(Entry::Username);
    request.Password = entry.text(Entry::Password);
    request.Location = entry.text(Entry::Location);
    request.RowIndex = i;
    request.Mode = u"Edit"_s;
    // An open dialog keeps the request it was opened with; this only brings it to the front.
    program_.entryDialog.open(program_);
}

void EntryCommands::cmdDelete_Click()
{
    const qsizetype i = FindSelectedRow();
    if (i == 0) {
        status(u"You must first select an entry to delete."_s);
        return;
    }
    EntryListModel &entries = program_.entries();
    const Entry &entry = entries.entry(i - 1);
    const QString question = u"Are you sure you want to delete the following information?\r\n\r\nUsername: "_s +
                             entry.text(Entry::Username) + u"\r\nPassword: "_s + entry.text(Entry::Password) +
                             u"\r\nUsed At: "_s + entry.text(Entry::Location);
    // Follows the entry in case the list changes while the question is up.
    const QPersistentModelIndex row(entries.index(int(i - 1), 0));
    const auto answer =
        program_.platform().messages.show(mainWindow(), question, u"Confirm Delete"_s, MessageBoxes::Buttons::OkCancel);
    if (answer != MessageBoxes::Answer::Ok) {
        status(u"Entry not deleted, cancelled by user"_s);
        return;
    }
    if (!row.isValid()) {
        return; // already gone: nothing left to delete or to save
    }
    entries.removeEntry(row.row());
    // A failed save has told the user why and set its own status; the row stays gone and the next save writes it.
    if (program_.store().SaveVault()) {
        status(u"Entry deleted successfully, data saved."_s);
    }
}

void EntryCommands::cmdCopy_Click(int index)
{
    program_.platform().clipboard.clear();
    const qsizetype i = FindSelectedRow();
    if (i == 0) {
        status(u"You must first select a row to copy from."_s);
        return;
    }
    if (index < 0 || index >= int(std::size(CopyFields))) {
        return;
    }
    const CopyField &copy = CopyFields[index];
    const QString value = program_.entries().entry(i - 1).text(copy.field);
    program_.platform().clipboard.setSecretText(value);
    status(QString::fromUtf16(copy.statusPrefix) + value);
}

void EntryCommands::cmdGoto_Click()
{
    const qsizetype i = FindSelectedRow();
    if (i == 0) {
        status(u"You must first select an entry to go to."_s);
        return;
    }
    status(u"Opening Location..."_s);
    const QString location = program_.entries().entry(i - 1).text(Entry::Location);
    const QUrl address = LocationAddress::openerAddress(location, QDir::homePath());

    QString error;
    if (!address.isValid()) {
        error = u"It is not a valid address."_s;
    } else if (program_.platform().opener.openLocation(address, &error)) {
        return;
    }
    const QString shown = address.isLocalFile() ? QDir::toNativeSeparators(address.toLocalFile())
                                                : LocationAddress::withWebScheme(location);
    program_.platform().messages.show(mainWindow(),
                                      u"This location could not be opened:\r\n"_s + shown + u"\r\n\r\n"_s + error, {},
                                      MessageBoxes::Buttons::Ok);
}

void EntryCommands::cmdWebsite_Click(int)
{
    program_.WebsiteRequest = u"Website"_s;
    // Loaded, never shown: its load opens the site. While it still exists the request waits for the next one.
    program_.websiteLauncher.load(program_);
}
