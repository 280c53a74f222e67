#pragma once

#include <QString>

// What the Add and Edit commands ask of the entry dialog. It outlives the dialog and keeps its last values until
// the next command overwrites them; the dialog copies it when it loads.
struct EntryDialogRequest {
    QString Mode;           // "Add", or anything else for an edit
    qsizetype RowIndex = 0; // the row being edited, from 1
    QString Username;
    QString Password;
    QString Location;
};
