#include "app/EntryCommands.h"

#include "app/Application.h"
#include "core/EntryListModel.h"
#include "core/LocationAddress.h"
#include "core/VaultStore.h"
#include "ui/EntryListView.h"
#include "ui/MainWindow.h"

#include <QDir>
#include <QPersistentModelIndex>

using namespace Qt::StringLiterals;

namespace {

QString copiedStatusPrefix(Entry::Field field)
{
    switch (field) {
    case Entry::Username:
        return u"Copied Username "_s;
    case Entry::Password:
        return u"Copied Password "_s;
    case Entry::Location:
        return u"Copied Location "_s;
    }
    return {};
}

} // namespace

EntryCommands::EntryCommands(Application &app) : app_(app) {}

QWidget *EntryCommands::mainWindow() const
{
    return app_.mainWindow.get();
}

void EntryCommands::status(const QString &text)
{
    app_.setStatusText(text);
}

qsizetype EntryCommands::selectedRow() const
{
    const MainWindow *main = app_.mainWindow.get();
    return main ? main->entryList->firstSelectedRow() + 1 : 0;
}

qsizetype EntryCommands::selectedRowOrHint(const QString &hint)
{
    const qsizetype row = selectedRow();
    if (row == 0) {
        status(hint);
    }
    return row;
}

void EntryCommands::addEntry()
{
    app_.entryRequest.mode = EntryDialog::Request::Mode::Add;
    app_.openEntryDialog();
}

void EntryCommands::editEntry()
{
    const qsizetype i = selectedRowOrHint(u"You must first select an entry to edit."_s);
    if (i == 0) {
        return;
    }
    const Entry &entry = app_.entries().entry(i - 1);
    EntryDialog::Request &request = app_.entryRequest;
    request.username = entry.text(Entry::Username);
    request.password = entry.text(Entry::Password);
    request.location = entry.text(Entry::Location);
    request.row = i;
    request.mode = EntryDialog::Request::Mode::Edit;
    // An open dialog keeps the request it was opened with; this only brings it to the front.
    app_.openEntryDialog();
}

void EntryCommands::deleteEntry()
{
    const qsizetype i = selectedRowOrHint(u"You must first select an entry to delete."_s);
    if (i == 0) {
        return;
    }
    EntryListModel &entries = app_.entries();
    const Entry &entry = entries.entry(i - 1);
    const QString question = u"Are you sure you want to delete the following information?\r\n\r\nUsername: "_s +
                             entry.text(Entry::Username) + u"\r\nPassword: "_s + entry.text(Entry::Password) +
                             u"\r\nUsed At: "_s + entry.text(Entry::Location);
    // Follows the entry in case the list changes while the question is up.
    const QPersistentModelIndex row(entries.index(int(i - 1), 0));
    const auto answer =
        app_.platform().messages.show(mainWindow(), question, u"Confirm Delete"_s, MessageBoxes::Buttons::OkCancel);
    if (answer != MessageBoxes::Answer::Ok) {
        status(u"Entry not deleted, cancelled by user"_s);
        return;
    }
    if (!row.isValid()) {
        return; // already gone: nothing left to delete or to save
    }
    entries.removeEntry(row.row());
    // A failed save has told the user why and set its own status; the row stays gone and the next save writes it.
    if (app_.store().save()) {
        status(u"Entry deleted successfully, data saved."_s);
    }
}

void EntryCommands::copyField(Entry::Field field)
{
    app_.platform().clipboard.clear();
    const qsizetype i = selectedRowOrHint(u"You must first select a row to copy from."_s);
    if (i == 0) {
        return;
    }
    const QString value = app_.entries().entry(i - 1).text(field);
    app_.platform().clipboard.setSecretText(value);
    status(copiedStatusPrefix(field) + value);
}

void EntryCommands::goToLocation()
{
    const qsizetype i = selectedRowOrHint(u"You must first select an entry to go to."_s);
    if (i == 0) {
        return;
    }
    status(u"Opening Location..."_s);
    const QString location = app_.entries().entry(i - 1).text(Entry::Location);
    const QUrl address = LocationAddress::openerAddress(location, QDir::homePath());

    QString error;
    if (!address.isValid()) {
        error = u"It is not a valid address."_s;
    } else if (app_.platform().opener.openLocation(address, &error)) {
        return;
    }
    const QString shown = address.isLocalFile() ? QDir::toNativeSeparators(address.toLocalFile())
                                                : LocationAddress::withWebScheme(location);
    app_.platform().messages.show(mainWindow(),
                                  u"This location could not be opened:\r\n"_s + shown + u"\r\n\r\n"_s + error, {},
                                  MessageBoxes::Buttons::Ok);
}

void EntryCommands::openWebsite()
{
    app_.websiteRequest = u"Website"_s;
    app_.launchWebsite();
}
