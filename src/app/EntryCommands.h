#pragma once

#include "core/Entry.h"

#include <QtGlobal>

class Application;
class QString;
class QWidget;

// The main window's commands on entries. Its buttons and menu items ask for the same ones.
class EntryCommands final {
public:
    explicit EntryCommands(Application &app);
    Q_DISABLE_COPY_MOVE(EntryCommands)

    // Opens the entry dialog for a new entry; an open dialog is only brought to the front.
    void addEntry();
    // Opens the entry dialog on the selected entry, or asks in the status bar for a selection first.
    void editEntry();
    // Removes the selected entry after the user confirms, then saves the vault.
    void deleteEntry();
    // Empties the clipboard, then puts the selected entry's field on it.
    void copyField(Entry::Field field);
    // Hands the selected entry's location to the desktop: a web address to the browser, a path to the file manager.
    void goToLocation();
    // Opens the publisher's website through the hidden launcher window. The About window's link does the same.
    void openWebsite();

    // The number (from 1) of the first selected row in display order, or 0 when none is selected.
    qsizetype selectedRow() const;

private:
    // The selected row (from 1); with none selected, shows `hint` in the status bar and answers 0.
    qsizetype selectedRowOrHint(const QString &hint);
    QWidget *mainWindow() const;
    void status(const QString &text);

    Application &app_;
};
