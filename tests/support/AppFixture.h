#pragma once

#include "app/Application.h"
#include "core/VaultStore.h"
#include "support/FakePlatform.h"

#include <QByteArray>
#include <QList>
#include <QStringList>
#include <QTemporaryDir>

#include <memory>
#include <optional>

class EntryListModel;
class MainWindow;

// A program on a folder of its own, on fake platform operations, with the help window not shown at start. By default
// it is unlocked on a vault that holds the given entries (user name, password, location each), with its main window
// loaded and visible, as after the master password typed into the password dialog; no help window and no password
// dialog remain. Its end destroys the program and every window it left.
class AppFixture {
public:
    using Rows = QList<QStringList>;

    // Three entries for the commands to choose from: sorted by any column they change order, the user names differ
    // in letter case, one password holds markup, and the last location is empty.
    static const Rows ThreeRows;
    static inline const QString MasterPassword = QStringLiteral("pw");

    explicit AppFixture(const Rows &rows = {});
    // A program before its start: no window loaded, and `vault` written as its vault file unless there is none
    // (a first run).
    struct BeforeStart {
        std::optional<QByteArray> vault;
    };
    explicit AppFixture(const BeforeStart &before);
    ~AppFixture();
    Q_DISABLE_COPY_MOVE(AppFixture)

    // The bytes a full save of these rows writes, with the given master password.
    static QByteArray vaultFor(const Rows &rows, const QString &password = MasterPassword);

    MainWindow &main() const;
    EntryListModel &entries() { return app.entries(); }
    QString vaultPath() const;
    QByteArray vaultBytes() const;
    // Lays out the help file; without it the help window is never shown.
    void writeHelpFile(const QByteArray &rtf = "{\\rtf1 Help}") const;
    Rows rows();
    QString status() const;
    QStringList messageTexts() const;

    // Selects exactly these rows (from 0) of the main window's list; none for an empty list.
    void select(const QList<int> &rowsToSelect);
    // Makes every save fail from now on, as a disk error at the rename of the new file would.
    void failSaves();
    // Runs the destruction that unloading a window leaves pending.
    static void deleteUnloaded();

    QTemporaryDir dir;
    FakePlatform fake;

private:
    std::unique_ptr<Application> application_;

public:
    Application &app;

private:
    void writeFile(const QString &path, const QByteArray &bytes) const;
};
