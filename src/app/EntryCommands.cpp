#include "app/EntryCommands.h"

#include "app/SaveReport.h"
#include "core/EntryListModel.h"
#include "core/LocationAddress.h"
#include "core/VaultStore.h"
#include "platform/Platform.h"

#include <QDateTime>
#include <QDir>
#include <QLocale>
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

EntryCommands::EntryCommands(EntryListModel &entries, VaultStore &store, MessageBoxes &messages, Clipboard &clipboard,
                             Opener &opener, QObject *parent)
    : QObject(parent), entries_(entries), store_(store), messages_(messages), clipboard_(clipboard), opener_(opener)
{
    // Counts what the status bar is told, so that a late report of the opener overwrites no newer status.
    connect(this, &EntryCommands::statusText, this, [this] { ++statusCount_; });
    opener_.setFailureReport(this, [this](Opener::Request request, const QUrl &address, const QString &reason) {
        openerFailed(request,
                     address.isLocalFile() ? QDir::toNativeSeparators(address.toLocalFile()) : address.toString(),
                     reason);
    });
}

EntryCommands::~EntryCommands() = default;

void EntryCommands::setMessageParent(QWidget *window)
{
    messageParent_ = window;
}

bool EntryCommands::isEntryOrHint(qsizetype row, const QString &hint)
{
    if (row < 0 || size_t(row) >= entries_.entries().size()) {
        emit statusText(hint);
        return false;
    }
    return true;
}

bool EntryCommands::save()
{
    const VaultStore::Outcome outcome = store_.save();
    switch (outcome.status) {
    case VaultStore::Outcome::Status::Written:
        emit statusText(SaveReport::savedStatusText(QDateTime::currentDateTime(), QLocale::system()));
        return true;
    case VaultStore::Outcome::Status::NotConfirmed:
        SaveReport::showNotConfirmed(messages_, messageParent_, outcome.error);
        emit statusText(u"Saved, but the disk has not confirmed it yet."_s);
        return false;
    case VaultStore::Outcome::Status::Failed:
        SaveReport::showFailure(messages_, messageParent_, outcome.error);
        emit statusText(u"Data not saved.  The change is kept until the next save."_s);
        return false;
    }
    return false;
}

void EntryCommands::addEntry()
{
    emit entryDialogRequested({});
}

void EntryCommands::editEntry(qsizetype row)
{
    if (!isEntryOrHint(row, u"You must first select an entry to edit."_s)) {
        return;
    }
    const Entry &entry = entries_.entry(row);
    EntryRequest request;
    request.mode = EntryRequest::Mode::Edit;
    // Follows the entry through sorting and the removal of other rows while the dialog is open.
    request.entry = QPersistentModelIndex(entries_.index(int(row), 0));
    request.username = entry.text(Entry::Username);
    request.password = entry.text(Entry::Password);
    request.location = entry.text(Entry::Location);
    // An open dialog keeps the request it was opened with; this only brings it to the front.
    emit entryDialogRequested(request);
}

void EntryCommands::saveEntry(const EntryRequest &request, const QString &username, const QString &password,
                              const QString &location)
{
    Entry entry = Entry::fromText(username, password, location);
    if (request.mode == EntryRequest::Mode::Add) {
        entries_.appendEntry(std::move(entry));
    } else if (request.entry.isValid()) {
        entries_.setEntry(request.entry.row(), std::move(entry));
    } else {
        return; // the entry is gone; the dialog has said so and kept its text
    }
    // A failed save has told the user why and said so in the status bar; only a real save is reported as one.
    if (save()) {
        emit statusText(u"Added new entry.  Data saved."_s);
    }
}

void EntryCommands::deleteEntry(qsizetype row)
{
    if (!isEntryOrHint(row, u"You must first select an entry to delete."_s)) {
        return;
    }
    const Entry &entry = entries_.entry(row);
    const QString question = u"Are you sure you want to delete the following information?\r\n\r\nUsername: "_s +
                             entry.text(Entry::Username) + u"\r\nPassword: "_s + entry.text(Entry::Password) +
                             u"\r\nUsed At: "_s + entry.text(Entry::Location);
    // Follows the entry in case the list changes while the question is up.
    const QPersistentModelIndex index(entries_.index(int(row), 0));
    const auto answer = messages_.show(messageParent_, question, u"Confirm Delete"_s, MessageBoxes::Buttons::OkCancel);
    if (answer != MessageBoxes::Answer::Ok) {
        emit statusText(u"Entry not deleted, cancelled by user"_s);
        return;
    }
    if (!index.isValid()) {
        return; // already gone: nothing left to delete or to save
    }
    entries_.removeEntry(index.row());
    // A failed save has told the user why and set its own status; the row stays gone and the next save writes it.
    if (save()) {
        emit statusText(u"Entry deleted successfully, data saved."_s);
    }
}

void EntryCommands::copyField(Entry::Field field, qsizetype row)
{
    clipboard_.clear();
    if (!isEntryOrHint(row, u"You must first select a row to copy from."_s)) {
        return;
    }
    const QString value = entries_.entry(row).text(field);
    clipboard_.setSecretText(value);
    // A copied password is shown, but not read out: spoken unasked, it reaches whoever is in the room.
    emit statusText(copiedStatusPrefix(field) + value,
                    field == Entry::Password ? copiedStatusPrefix(field).trimmed() : QString());
}

void EntryCommands::goToLocation(qsizetype row)
{
    if (!isEntryOrHint(row, u"You must first select an entry to go to."_s)) {
        return;
    }
    emit statusText(u"Opening Location..."_s);
    openingStatus_ = statusCount_;
    const QString location = entries_.entry(row).text(Entry::Location);
    const QUrl address = LocationAddress::openerAddress(location, QDir::homePath());
    if (!address.isValid()) {
        openerFailed(Opener::Request::Location, LocationAddress::withWebScheme(location),
                     u"It is not a valid address."_s);
        return;
    }
    opener_.openLocation(address);
}

void EntryCommands::sortEntries(int column)
{
    if (entries_.rowCount() == 0 || !entries_.sortByHeaderClick(column)) {
        return;
    }
    const Qt::SortOrder order = entries_.sortOrder();
    // A sighted user sees the new order; a screen reader user hears it. The status bar keeps its text.
    const QString name = entries_.headerData(column, Qt::Horizontal).toString();
    emit announcement(u"Sorted by "_s + name + u", "_s +
                      (order == Qt::AscendingOrder ? u"ascending"_s : u"descending"_s));
}

void EntryCommands::openerFailed(Opener::Request request, const QString &location, const QString &reason)
{
    // The status said the location was being opened; unless something has been said since, it now says otherwise.
    if (request == Opener::Request::Location && openingStatus_ == statusCount_) {
        emit statusText(u"Location not opened."_s);
    }
    messages_.show(messageParent_, u"This location could not be opened:\r\n"_s + location + u"\r\n\r\n"_s + reason, {},
                   MessageBoxes::Buttons::Ok);
}

void EntryCommands::confirmClose()
{
    if (!mayClose()) {
        emit keepOpenRequested();
    }
}

bool EntryCommands::mayClose()
{
    if (!store_.lastSaveFailed() || save()) {
        return true;
    }
    const QString why = store_.lastSaveUnconfirmed()
                            ? u"Your last change was written, but the disk has not confirmed that it holds it, so a "
                              u"power cut could still lose it."_s
                            : u"Your last change could not be saved, so closing now would lose it."_s;
    const auto answer =
        messages_.show(messageParent_, why + u"\r\n\r\nClick OK to close anyway, or Cancel to keep Brisvane open."_s,
                       u"Not saved"_s, MessageBoxes::Buttons::OkCancelByDefaultCancel);
    return answer == MessageBoxes::Answer::Ok;
}
