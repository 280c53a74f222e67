#pragma once

#include "app/Application.h"
#include "support/FakePlatform.h"
#include "core/VaultStore.h"

#include <QByteArray>
#include <QList>
#include <QStringList>
#include <QTemporaryDir>

class EntryListModel;
class MainWindow;

// A program unlocked on a vault that holds the given entries (user name, password, location each), with its main
// window loaded and visible, as after a correct master password; no help window and no password dialog remain.
class ProgramFixture final {
public:
    using Rows = QList<QStringList>;

    explicit ProgramFixture(const Rows &rows = {});
    ~ProgramFixture();
    Q_DISABLE_COPY_MOVE(ProgramFixture)

    static inline const QString MasterPassword = QStringLiteral("pw");

    // The bytes a full save of these rows writes, with the fixture's master password.
    static QByteArray vaultFor(const Rows &rows);

    MainWindow &main() const;
    EntryListModel &entries() { return program.entries(); }
    QString vaultPath() const;
    QByteArray vaultBytes() const;
    Rows rows();
    QString status() const;

    // Selects exactly these rows (from 0) of the main window's list; none for an empty list.
    void select(const QList<int> &rowsToSelect);
    // Makes every save fail from now on, as a disk error at the rename of the new file would.
    void failSaves();
    // Runs the destruction that unloading a window leaves pending.
    static void deleteUnloaded();

    QTemporaryDir dir;
    FakePlatform fake;
    Application program;
};
