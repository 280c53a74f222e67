#include "commands/EntryCommands.h"

#include "shell/EntryListView.h"
#include "shell/Form1.h"
#include "shell/Program.h"

EntryCommands::EntryCommands(Program &program) : program_(program) {}

void EntryCommands::cmdAdd_Click(int) {}
void EntryCommands::cmdEdit_Click() {}
void EntryCommands::cmdDelete_Click() {}
void EntryCommands::cmdCopy_Click(int) {}
void EntryCommands::cmdGoto_Click() {}
void EntryCommands::cmdWebsite_Click(int) {}

qsizetype EntryCommands::FindSelectedRow() const
{
    const Form1 *main = program_.mainWindow.get();
    return main ? main->lstPass->firstSelectedRow() + 1 : 0;
}
