#pragma once

#include "core/Entry.h"
#include "core/EntryRequest.h"
#include "platform/Platform.h"

#include <QObject>
#include <QPointer>

class EntryListModel;
class QWidget;
class VaultStore;

// The commands on entries that the main window's buttons, menu items and column headers ask for: add, edit, delete,
// copy, go to, sort, the entry dialog's save and the close. Each runs top to bottom here on what the request carries
// (the row the window has selected, from 0, or -1 for none); what the program shows in reply, it asks for through
// its signals. The commands never ask a window anything.
class EntryCommands final : public QObject {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(EntryCommands)

public:
    EntryCommands(EntryListModel &entries, VaultStore &store, MessageBoxes &messages, Clipboard &clipboard,
                  Opener &opener, QObject *parent = nullptr);
    ~EntryCommands() override;

    // The window that the message boxes stand above, given once when it is made; they are shown without one before.
    void setMessageParent(QWidget *window);

    // Asks for the entry dialog for a new entry; an open dialog is only brought to the front.
    void addEntry();
    // Asks for the entry dialog on the entry in `row`, or in the status bar for a selection first.
    void editEntry(qsizetype row);
    // Removes the entry in `row` after the user confirms, then saves the vault.
    void deleteEntry(qsizetype row);
    // Empties the clipboard, then puts the field of the entry in `row` on it.
    void copyField(Entry::Field field, qsizetype row);
    // Hands the location of the entry in `row` to the desktop: a web address to the browser, a path to the file
    // manager. An opener that fails is reported when it ends, in a message box that names the location.
    void goToLocation(qsizetype row);
    // A header click: re-orders the entries by a column (0 for the first), in the other direction than before, which
    // is the order a save writes, and has a screen reader told the new order. An empty list keeps its order and its
    // sort settings.
    void sortEntries(int column);
    // The entry dialog's Save: the texts go into the request's entry, or a new one at the end, then the vault is
    // saved. The change stays in the list whatever the save comes to.
    void saveEntry(const EntryRequest &request, const QString &username, const QString &password,
                   const QString &location);
    // The main window is about to close: a change that could not be saved, or that the disk did not confirm, is saved
    // once more; if that does not do it either, the user decides, and keepOpenRequested() answers a "no".
    void confirmClose();

signals:
    void entryDialogRequested(const EntryRequest &request);
    // A text for the main window's status bar; `spoken`, where given, is what a screen reader announces instead.
    void statusText(const QString &text, const QString &spoken = {});
    // Words for a screen reader alone: the status bar keeps its text.
    void announcement(const QString &spoken);
    // The main window is to stay open: its close would lose a change.
    void keepOpenRequested();

private:
    // Whether `row` names an entry; if not (none selected), shows `hint` in the status bar.
    bool isEntryOrHint(qsizetype row, const QString &hint);
    // Saves the vault and says what came of it; true only for a save the disk confirmed.
    bool save();
    // Whether the main window may close; false keeps it open.
    bool mayClose();
    // Says that the opener failed on `location`, Go To's or the website's.
    void openerFailed(Opener::Request request, const QString &location, const QString &reason);

    EntryListModel &entries_;
    VaultStore &store_;
    MessageBoxes &messages_;
    Clipboard &clipboard_;
    Opener &opener_;
    QPointer<QWidget> messageParent_;
    // Status texts given so far, and the count when Go To last said it was opening a location.
    quint64 statusCount_ = 0;
    quint64 openingStatus_ = 0;
};
