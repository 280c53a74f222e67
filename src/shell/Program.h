#pragma once

#include "commands/EntryDialogRequest.h"
#include "platform/Platform.h"
#include "shell/PublisherSettings.h"
#include "shell/SingleWindow.h"
#include "vault/VaultHost.h"

#include <QObject>

#include <memory>

class EntryCommands;
class EntryListModel;
class Form1;
class Form8;
class frmAbout;
class frmAdd;
class frmPass;
class frmSplash;
class frmWebsite;
namespace modGlobals {
class VaultStore;
}

// The running program: its windows (each at most once), the entry list, the vault store and the state that
// outlives any one window. Every window gets it in its constructor.
class Program final : public QObject, public VaultHost {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(Program)

public:
    // `folder` holds the vault and the help file: the executable's folder when the program runs.
    explicit Program(Platform &platform, const QString &folder);
    ~Program() override;

    Platform &platform() { return platform_; }
    PublisherSettings &publisher() { return publisher_; }
    EntryListModel &entries() { return *entries_; }
    modGlobals::VaultStore &store() { return *store_; }
    EntryCommands &commands() { return *commands_; }
    const QString &folder() const { return folder_; }
    QString helpFilePath() const;

    // Process start: loads and shows the splash window, which goes on from its timer.
    void start();

    // Ends the process at once (a test's platform records it instead).
    void endProgram();

    // Shows the text in the main window's status bar.
    void SetStatusText(const QString &text);
    void openHelpWindow();
    void openAboutWindow();
    // When the main window goes: help, About, entry dialog, splash, then the website launcher.
    void unloadOtherWindows();

    SingleWindow<frmSplash> splash;
    SingleWindow<Form1> mainWindow;
    SingleWindow<frmPass> passwordDialog;
    SingleWindow<frmAdd> entryDialog;
    SingleWindow<frmWebsite> websiteLauncher;
    SingleWindow<Form8> helpWindow;
    SingleWindow<frmAbout> aboutWindow;

    bool CreateMode = false;
    EntryDialogRequest entryRequest;
    QString WebsiteRequest;

    // VaultHost
    void setStatusText(const QString &text) override { SetStatusText(text); }
    void showCreatePassword() override;
    void showEnterPassword() override;
    void unloadPasswordDialog() override;
    void processEvents() override;
    void afterFormLoad() override;
    void reportSaveFailure(const QString &text) override;
    void fatalError(const QString &text) override;

private:
    void showPasswordDialog(bool createMode);

    Platform &platform_;
    QString folder_;
    PublisherSettings publisher_;
    std::unique_ptr<EntryListModel> entries_;
    std::unique_ptr<modGlobals::VaultStore> store_;
    std::unique_ptr<EntryCommands> commands_;
};
