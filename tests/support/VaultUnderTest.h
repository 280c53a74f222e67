#pragma once

#include "support/ReferenceVault.h"
#include "support/StepFault.h"

#include "core/EntryListModel.h"
#include "core/VaultStore.h"

#include <QString>

// One vault file in a folder, with the store and the entry list as the running program has them after the unlock,
// and what the last save came to. Every save goes through a StepFault.
struct VaultUnderTest {
    static inline const QString MasterText = QStringLiteral(u"master pw \u00e9");
    static inline const QByteArray Master = QByteArrayLiteral("master pw \xe9"); // as the file holds it

    explicit VaultUnderTest(const QString &folder) : path(folder + QStringLiteral("/data.enc")), store(list, path)
    {
        // Unlocked as the program unlocks: a first look at a vault that holds the master password, then the password.
        // A folder without a vault is left without one: the vault made for the first look goes again.
        const bool made = !QFileInfo::exists(path) && ReferenceVault::writeFile(path, ReferenceVault::file(Master, {}));
        store.checkFirstRun();
        store.unlock(MasterText);
        if (made) {
            QFile::remove(path);
        }
        store.setFaultHook(fault.hook());
    }
    Q_DISABLE_COPY_MOVE(VaultUnderTest)

    bool save()
    {
        fault.beginSave();
        last = store.save();
        return last.confirmed();
    }
    QByteArray onDisk() const { return ReferenceVault::readAll(path); }
    ReferenceVault::Entries listed() const { return ReferenceVault::fieldsOf(list.entries()); }
    QByteArray fileOf(const ReferenceVault::Entries &entries) const { return ReferenceVault::file(Master, entries); }

    QString path;
    EntryListModel list;
    StepFault fault;
    VaultStore store;
    VaultStore::Outcome last;
};
