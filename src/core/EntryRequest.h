#pragma once

#include <QPersistentModelIndex>
#include <QString>

// What the Add and Edit commands ask of the entry dialog: a new entry, or a change of the entry named here, with the
// texts the dialog starts from. The dialog copies it when it loads and hands it back with what the user typed; a later
// command changes neither the mode nor the entry of a dialog that is open.
struct EntryRequest {
    enum class Mode { Add, Edit };
    Mode mode = Mode::Add;
    // The entry being edited, followed through sorting and the removal of other rows; invalid once it was deleted.
    QPersistentModelIndex entry;
    QString username;
    QString password;
    QString location;
};
