#pragma once

#include "app/ShowHelpSetting.h"
#include "app/SingleWindow.h"
#include "core/PublisherSettings.h"
#include "core/VaultFile.h"
#include "platform/Platform.h"
#include "ui/EntryDialog.h"
#include "ui/PasswordDialog.h"

#include <QObject>

#include <memory>

class AboutWindow;
class EntryCommands;
class EntryListModel;
class HelpWindow;
class MainWindow;
class SplashScreen;
class VaultLock;
class VaultStore;
class WebsiteLauncher;

// The running program: the start-up, its windows (each at most once), the entry list, the vault store and the
// commands. It hands each window what it shows, answers the windows' requests, and decides what the user is shown
// of what the store reports.
class Application final : public QObject {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(Application)

public:
    // `folder` holds the help file and the vault, data.enc: the executable's folder when the program runs. A tool
    // that holds a vault of another name gives it as `vault`.
    Application(Platform &platform, const QString &folder, const QString &vault = {});
    // Gives the vault's lock up.
    ~Application() override;

    // Process start: locks the vault, then loads and shows the splash window, which goes on from its timer. False
    // where the program must end at once with exit status 1: the vault is held, or cannot be made here.
    [[nodiscard]] bool start();
    // The start's first step, before any window: takes the vault's lock, or asks, or says why the program cannot go
    // on. False where it must end. Public for the tools that hold a vault as the program does, without windows.
    [[nodiscard]] bool lockVault();
    // Every save of the store goes through it once lockVault() has run.
    VaultLock &vaultLock() { return *lock_; }

    const PublisherSettings &publisher() const { return publisher_; }
    EntryListModel &entries() { return *entries_; }
    VaultStore &store() { return *store_; }
    EntryCommands &commands() { return *commands_; }
    QString helpFilePath() const;

    // The windows that are loaded now (null where none is).
    SplashScreen *splashScreen() const;
    MainWindow *mainWindow() const;
    PasswordDialog *passwordDialog() const;
    EntryDialog *entryDialog() const;
    HelpWindow *helpWindow() const;
    AboutWindow *aboutWindow() const;
    WebsiteLauncher *websiteLauncher() const;

    // The main window, loaded with the first look at the vault if it was not loaded yet.
    MainWindow *loadMainWindow();
    void openHelpWindow();
    void openAboutWindow();
    // Loads the hidden website launcher, which opens the publisher's website.
    void openWebsite();

private:
    // The start-up, in the order it runs.
    void openPasswordDialog(PasswordDialog::Mode mode);
    void createMasterPassword(const QString &password);
    void unlock(const QString &password);
    void finishStartup(const QString &status);
    void endWithError(const QString &text);
    void endProgram();

    MainWindow *createMainWindow();
    void openEntryDialog(const EntryRequest &request);
    void setStatusText(const QString &text, const QString &spoken = {});
    // Every window but the main window, in the order they go at the end.
    void unloadOtherWindows();

    Platform &platform_;
    const QString folder_;
    const QString vault_;
    const PublisherSettings publisher_ = PublisherSettings::fromBuild();
    ShowHelpSetting showHelp_{platform_.settings, publisher_.productName};
    // Made before the store, which saves through it, and gone after it: its end gives the lock up.
    std::unique_ptr<VaultLock> lock_;
    std::unique_ptr<EntryListModel> entries_;
    std::unique_ptr<VaultStore> store_;
    std::unique_ptr<EntryCommands> commands_;
    // A website request waits here until the launcher's next load serves it.
    bool websiteRequested_ = false;

    SingleWindow<SplashScreen> splash_;
    SingleWindow<MainWindow> mainWindow_;
    SingleWindow<PasswordDialog> passwordDialog_;
    SingleWindow<EntryDialog> entryDialog_;
    SingleWindow<WebsiteLauncher> websiteLauncher_;
    SingleWindow<HelpWindow> helpWindow_;
    SingleWindow<AboutWindow> aboutWindow_;
};
