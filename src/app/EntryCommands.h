#pragma once

#include "core/Entry.h"
#include "platform/Platform.h"
#include "ui/EntryDialog.h"

#include <QObject>
#include <QPointer>

#include <functional>

class EntryListModel;
class QWidget;
class VaultStore;

// The commands on entries that the main window's buttons and menu items ask for: add, edit, delete, copy, go to,
// and the entry dialog's save. Each runs top to bottom here; what the program shows in reply, it asks for through
// its signals.
class EntryCommands final : public QObject {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(EntryCommands)

public:
    EntryCommands(EntryListModel &entries, VaultStore &store, MessageBoxes &messages, Clipboard &clipboard,
                  Opener &opener, QObject *parent = nullptr);
    ~EntryCommands() override;

    // The window the commands serve: its message boxes stand above it, and `selectedRow` gives the first selected
    // row of its list (from 0), or -1 when none is selected.
    void setWindow(QWidget *window, std::function<qsizetype()> selectedRow);

    // Asks for the entry dialog for a new entry; an open dialog is only brought to the front.
    void addEntry();
    // Asks for the entry dialog on the selected entry, or in the status bar for a selection first.
    void editEntry();
    // Removes the selected entry after the user confirms, then saves the vault.
    void deleteEntry();
    // Empties the clipboard, then puts the selected entry's field on it.
    void copyField(Entry::Field field);
    // Hands the selected entry's location to the desktop: a web address to the browser, a path to the file manager.
    // An opener that fails is reported when it ends, in a message box that names the location.
    void goToLocation();
    // The entry dialog's Save: the texts go into the request's entry, or a new one at the end, then the vault is
    // saved. The change stays in the list whatever the save comes to.
    void saveEntry(const EntryDialog::Request &request, const QString &username, const QString &password,
                   const QString &location);
    // Before the main window closes: a change that could not be saved, or that the disk did not confirm, is saved
    // once more; if that does not do it either, the user decides. False keeps the window open.
    bool mayClose();

signals:
    void entryDialogRequested(const EntryDialog::Request &request);
    // A text for the main window's status bar; `spoken`, where given, is what a screen reader announces instead.
    void statusText(const QString &text, const QString &spoken = {});

private:
    // The selected row; with none selected, shows `hint` in the status bar and answers -1.
    qsizetype selectedRowOrHint(const QString &hint);
    // Saves the vault and says what came of it; true only for a save the disk confirmed.
    bool save();
    // Says that the opener failed on `location`, Go To's or the website's.
    void openerFailed(Opener::Request request, const QString &location, const QString &reason);

    EntryListModel &entries_;
    VaultStore &store_;
    MessageBoxes &messages_;
    Clipboard &clipboard_;
    Opener &opener_;
    QPointer<QWidget> window_;
    std::function<qsizetype()> selectedRow_;
    // Status texts given so far, and the count when Go To last said it was opening a location.
    quint64 statusCount_ = 0;
    quint64 openingStatus_ = 0;
};
