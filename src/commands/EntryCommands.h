#pragma once

#include <QtGlobal>

class Program;
class QString;
class QWidget;

// The main window's commands on entries. The buttons and the menu items run the same handlers.
class EntryCommands final {
public:
    explicit EntryCommands(Program &program);
    Q_DISABLE_COPY_MOVE(EntryCommands)

    // Opens the entry dialog for a new entry; an open dialog is only brought to the front. The index is ignored.
    void cmdAdd_Click(int index);
    // Opens the entry dialog on the selected entry, or asks in the status bar for a selection first.
    void cmdEdit_Click();
    // Removes the selected entry after the user confirms, then saves the vault.
    void cmdDelete_Click();
    // Empties the clipboard, then puts the selected entry's user name (0), password (1) or location (2) on it.
    void cmdCopy_Click(int index);
    // Hands the selected entry's location to the desktop: a web address to the browser, a path to the file manager.
    void cmdGoto_Click();
    // Opens the publisher's website through the hidden launcher window. The About window's link does the same.
    void cmdWebsite_Click(int index);

    // The number (from 1) of the first selected row in display order, or 0 when none is selected.
    qsizetype FindSelectedRow() const;

private:
    QWidget *mainWindow() const;
    void status(const QString &text);

    Program &program_;
};
