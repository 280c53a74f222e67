#pragma once

#include "app/SingleWindow.h"
#include "core/PublisherSettings.h"
#include "core/VaultHost.h"
#include "platform/Platform.h"
#include "ui/EntryDialog.h"

#include <QObject>

#include <memory>

class AboutWindow;
class EntryCommands;
class EntryListModel;
class HelpWindow;
class MainWindow;
class PasswordDialog;
class SplashScreen;
class VaultStore;
class WebsiteLauncher;

// The running program: its windows (each at most once), the entry list, the vault store and the state that
// outlives any one window. It hands each window what it shows and answers the window's requests.
class Application final : public QObject, public VaultHost {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(Application)

public:
    // `folder` holds the vault and the help file: the executable's folder when the program runs.
    Application(Platform &platform, const QString &folder);
    ~Application() override;

    Platform &platform() { return platform_; }
    PublisherSettings &publisher() { return publisher_; }
    EntryListModel &entries() { return *entries_; }
    VaultStore &store() { return *store_; }
    EntryCommands &commands() { return *commands_; }
    const QString &folder() const { return folder_; }
    QString helpFilePath() const;

    // Process start: loads and shows the splash window, which goes on from its timer.
    void start();

    // Ends the process at once (a test's platform records it instead).
    void endProgram();

    // Loads the main window unless it is loaded; its load ends by checking for a first run.
    MainWindow *loadMainWindow();
    void openEntryDialog();
    void openHelpWindow();
    void openAboutWindow();
    // Loads the hidden website launcher, which serves the pending website request.
    void launchWebsite();
    // When the main window goes: help, About, entry dialog, splash, then the website launcher.
    void unloadOtherWindows();

    SingleWindow<SplashScreen> splash;
    SingleWindow<MainWindow> mainWindow;
    SingleWindow<PasswordDialog> passwordDialog;
    SingleWindow<EntryDialog> entryDialog;
    SingleWindow<WebsiteLauncher> websiteLauncher;
    SingleWindow<HelpWindow> helpWindow;
    SingleWindow<AboutWindow> aboutWindow;

    EntryDialog::Request entryRequest;
    QString websiteRequest;

    // VaultHost
    void setStatusText(const QString &text) override;
    void showCreatePassword() override;
    void showEnterPassword() override;
    void closePasswordDialog() override;
    void processEvents() override;
    void finishStartup() override;
    void reportSaveFailure(const QString &text) override;
    void reportSaveNotConfirmed(const QString &text) override;
    void fatalError(const QString &text) override;

private:
    MainWindow *createMainWindow();
    void showPasswordDialog(bool createMode);

    Platform &platform_;
    QString folder_;
    PublisherSettings publisher_;
    std::unique_ptr<EntryListModel> entries_;
    std::unique_ptr<VaultStore> store_;
    std::unique_ptr<EntryCommands> commands_;
};
