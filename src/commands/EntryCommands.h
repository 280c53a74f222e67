#pragma once

#include <QtGlobal>

class Program;

// The main window's commands on entries. The buttons and the menu items run the same handlers.
class EntryCommands final {
public:
    explicit EntryCommands(Program &program);
    Q_DISABLE_COPY_MOVE(EntryCommands)

    void cmdAdd_Click(int index);
    void cmdEdit_Click();
    void cmdDelete_Click();
    void cmdCopy_Click(int index);
    void cmdGoto_Click();
    void cmdWebsite_Click(int index);

    // The number (from 1) of the first selected row in display order, or 0 when none is selected.
    qsizetype FindSelectedRow() const;

private:
    Program &program_;
};
