#include "app/Application.h"

#include "app/EntryCommands.h"
#include "app/HelpFile.h"
#include "app/LockMessages.h"
#include "app/SaveReport.h"
#include "core/EntryListModel.h"
#include "core/VaultFile.h"
#include "core/VaultLock.h"
#include "core/VaultPath.h"
#include "core/VaultStore.h"
#include "ui/AboutWindow.h"
#include "ui/HelpWindow.h"
#include "ui/MainWindow.h"
#include "ui/Placement.h"
#include "ui/Skin.h"
#include "ui/SplashScreen.h"
#include "ui/WebsiteLauncher.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QTextDocument>

#include <utility>

using namespace Qt::StringLiterals;

Application::Application(Platform &platform, const QString &folder, const QString &vault)
    : platform_(platform), folder_(folder), vault_(vault.isEmpty() ? VaultPath::inFolder(folder) : vault),
      lock_(std::make_unique<VaultLock>(vault_, &LockMessages::whoHoldsIt)),
      entries_(std::make_unique<EntryListModel>()), store_(std::make_unique<VaultStore>(*entries_, vault_)),
      commands_(
          std::make_unique<EntryCommands>(*entries_, *store_, platform.messages, platform.clipboard, platform.opener))
{
    connect(commands_.get(), &EntryCommands::statusText, this, &Application::setStatusText);
    connect(commands_.get(), &EntryCommands::entryDialogRequested, this, &Application::openEntryDialog);
}

Application::~Application()
{
    unloadOtherWindows();
    mainWindow_.unload();
    // The program goes once its event loop has returned, and no later loop would delete the windows: they go now,
    // while the entries they show still exist.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

SplashScreen *Application::splashScreen() const
{
    return splash_.get();
}

MainWindow *Application::mainWindow() const
{
    return mainWindow_.get();
}

PasswordDialog *Application::passwordDialog() const
{
    return passwordDialog_.get();
}

EntryDialog *Application::entryDialog() const
{
    return entryDialog_.get();
}

HelpWindow *Application::helpWindow() const
{
    return helpWindow_.get();
}

AboutWindow *Application::aboutWindow() const
{
    return aboutWindow_.get();
}

WebsiteLauncher *Application::websiteLauncher() const
{
    return websiteLauncher_.get();
}

QString Application::helpFilePath() const
{
    return folder_ + u"/Help.rtf"_s;
}

// The start-up: the splash window; after its second, the main window loaded with the first look at the vault; the
// password dialog, to create the master password or to enter it; then the vault created or unlocked and the main
// window shown, or the end of the program.
//
// Nothing of the main window is shown, mapped or announced while the password dialog guards it: a window shown and
// hidden again at once can stay on screen under some compositors, live and empty, and a screen reader then keeps
// it as hidden for good.

bool Application::start()
{
    if (!lockVault()) {
        return false;
    }
    splash_.open([this] {
        auto *window = new SplashScreen(publisher_);
        connect(window, &SplashScreen::finished, this, &Application::loadMainWindow);
        return window;
    });
    return true;
}

// Before any window: the vault's lock, or the question whether to take another machine's over, or why the program
// cannot go on; or the one warning that it goes on without a lock.
bool Application::lockVault()
{
    VaultHolder holder;
    VaultLock::Outcome outcome = lock_->acquire(&holder);
    if (outcome == VaultLock::Outcome::OtherMachine) {
        // Asked once: on a network folder nothing here can see whether Brisvane still runs on that machine, and
        // two copies writing one vault would lose entries, so it is taken over only when the user says so; Enter
        // alone does not.
        const auto answer = platform_.messages.show(
            nullptr,
            u"Brisvane may be open with this vault on another machine:\r\n"_s + vault_ +
                u"\r\n\r\nIts lock file \u201c"_s + lock_->lockFilePath() + u"\u201d says that the machine \u201c"_s +
                holder.host +
                u"\u201d holds it, and from here it cannot be seen whether Brisvane still runs there.\r\n\r\nIf it "
                u"does, choose Cancel and close it there first. If it does not (it crashed, or the folder was "
                u"unplugged), choose OK to take the lock over and open the vault here."_s,
            {}, MessageBoxes::Buttons::OkCancelByDefaultCancel);
        if (answer != MessageBoxes::Answer::Ok) {
            return false;
        }
        outcome = lock_->takeOver(&holder);
    }
    switch (outcome) {
    case VaultLock::Outcome::HeldByAnother:
    case VaultLock::Outcome::OtherMachine:
        platform_.messages.show(nullptr,
                                u"Brisvane is already open with this vault:\r\n"_s + vault_ + u"\r\n\r\n"_s +
                                    LockMessages::whoHoldsIt(holder),
                                {}, MessageBoxes::Buttons::Ok);
        return false;
    case VaultLock::Outcome::Locked:
        // Only the holder of the real file's lock may tidy its folder: another copy's save may be under way there.
        VaultFile::removeLeftovers(lock_->vaultPath());
        break;
    case VaultLock::Outcome::Unavailable:
        // With no vault yet, a folder that takes no lock file may take no vault either: then that is all there is
        // to say, and the program cannot go on.
        if (!QFileInfo::exists(vault_) && !QFileInfo(vault_).isSymLink()) {
            if (const QString why = VaultPath::whyNoNewFile(folder_); !why.isEmpty()) {
                platform_.messages.show(
                    nullptr,
                    u"Brisvane cannot make its vault in this folder:\r\n"_s + folder_ + u"\r\n\r\n"_s + why +
                        u"\r\n\r\nBrisvane keeps its vault, data.enc, beside the program. Move the Brisvane folder "
                        u"to a place where you may make files (your home folder, for example) and start it there."_s,
                    {}, MessageBoxes::Buttons::Ok);
                return false;
            }
        }
        // Said once, at the start. Where no vault file can be there at all, the store says so and ends instead.
        if (VaultPath::notAVaultFile(vault_).isEmpty()) {
            platform_.messages.show(
                nullptr,
                u"Brisvane could not lock this vault:\r\n"_s + vault_ +
                    u"\r\n\r\nNeither a lock file beside it nor a lock on the file itself is possible there. Brisvane "
                    u"opens it all the same, but a second copy of Brisvane started on this vault could overwrite "
                    u"its saves: run only one at a time."_s,
                {}, MessageBoxes::Buttons::Ok);
        }
        break;
    }
    store_->setFileLockHolder(lock_.get());
    return true;
}

MainWindow *Application::loadMainWindow()
{
    if (mainWindow_.isLoaded()) {
        return mainWindow_.get();
    }
    MainWindow *window = mainWindow_.load([this] { return createMainWindow(); });
    const VaultStore::FirstRun firstRun = store_->checkFirstRun();
    switch (firstRun.gate) {
    case VaultStore::FirstRun::Gate::CreatePassword:
        openPasswordDialog(PasswordDialog::Mode::Create);
        break;
    case VaultStore::FirstRun::Gate::EnterPassword:
        openPasswordDialog(PasswordDialog::Mode::Enter);
        break;
    case VaultStore::FirstRun::Gate::CannotOpen:
        endWithError(firstRun.error);
        break;
    }
    return window;
}

void Application::openPasswordDialog(PasswordDialog::Mode mode)
{
    PasswordDialog *dialog = passwordDialog_.load([&] {
        auto *d = new PasswordDialog(mode, platform_.messages, publisher_, mainWindow_.get());
        connect(d, &PasswordDialog::passwordCreated, this, &Application::createMasterPassword);
        connect(d, &PasswordDialog::passwordEntered, this, &Application::unlock);
        connect(d, &PasswordDialog::cancelled, this, &Application::endProgram);
        return d;
    });
    // The dialog's load ends by letting pending window events run, before the dialog shows.
    platform_.events.processEvents();
    dialog->show();
}

void Application::createMasterPassword(const QString &password)
{
    passwordDialog_.unload();
    platform_.events.processEvents();
    const VaultStore::Outcome outcome = store_->createMasterPassword(password);
    // Nothing has been entered yet that could be lost: a file that cannot be written ends the program as it was.
    if (!outcome.written()) {
        endWithError(outcome.error);
        return;
    }
    if (!outcome.confirmed()) {
        SaveReport::showNotConfirmed(platform_.messages, mainWindow_.get(), outcome.error);
        finishStartup(u"Password created, but the disk has not confirmed it yet."_s);
        return;
    }
    finishStartup(u"Password created successfully"_s);
}

void Application::unlock(const QString &password)
{
    if (!store_->isStoredPassword(password)) {
        passwordDialog_.get()->rejectPassword();
        return;
    }
    const VaultStore::Loaded loaded = store_->unlock(password);
    if (!loaded.ok) {
        endWithError(loaded.error);
        return;
    }
    finishStartup(u"Loaded "_s + QString::number(loaded.count) + u" entries"_s);
}

void Application::finishStartup(const QString &status)
{
    MainWindow *window = mainWindow_.get();
    if (!window) {
        return;
    }
    setStatusText(status);
    window->finishStartup();
    if (showHelp_.opensAtStart()) {
        openHelpWindow();
    }
    passwordDialog_.unload();
}

void Application::endWithError(const QString &text)
{
    QWidget *parent = passwordDialog_.isLoaded() ? static_cast<QWidget *>(passwordDialog_.get()) : mainWindow_.get();
    const QString outcome = QFileInfo::exists(VaultPath::inFolder(folder_))
                                ? u"Brisvane will close now; the vault file is unchanged."_s
                                : u"Brisvane will close now; no vault file was made."_s;
    platform_.messages.show(parent, text + u"\r\n\r\n"_s + outcome, {}, MessageBoxes::Buttons::Ok);
    platform_.end.endProgram(1);
}

void Application::endProgram()
{
    platform_.end.endProgram(0);
}

// The windows.

MainWindow *Application::createMainWindow()
{
    const QIcon splashIcon = splash_.isLoaded() ? splash_.get()->windowIcon() : QIcon();
    auto *window = new MainWindow(*entries_, publisher_, splashIcon);
    EntryCommands &commands = *commands_;
    commands.setMessageParent(window);
    connect(window, &MainWindow::addRequested, &commands, &EntryCommands::addEntry);
    connect(window, &MainWindow::editRequested, &commands, &EntryCommands::editEntry);
    connect(window, &MainWindow::deleteRequested, &commands, &EntryCommands::deleteEntry);
    connect(window, &MainWindow::goToRequested, &commands, &EntryCommands::goToLocation);
    connect(window, &MainWindow::copyRequested, &commands, &EntryCommands::copyField);
    connect(window, &MainWindow::sortRequested, &commands, &EntryCommands::sortEntries);
    connect(&commands, &EntryCommands::announcement, window, &MainWindow::announce);
    connect(window, &MainWindow::closeRequested, &commands, &EntryCommands::confirmClose);
    connect(&commands, &EntryCommands::keepOpenRequested, window, &MainWindow::keepOpen);
    connect(window, &MainWindow::websiteRequested, this, &Application::openWebsite);
    connect(window, &MainWindow::helpRequested, this, &Application::openHelpWindow);
    connect(window, &MainWindow::aboutRequested, this, &Application::openAboutWindow);
    connect(window, &MainWindow::closing, this, [this] {
        unloadOtherWindows();
        endProgram();
    });
    return window;
}

void Application::openEntryDialog(const EntryRequest &request)
{
    entryDialog_.open([&] {
        auto *dialog = new EntryDialog(request, platform_.messages, publisher_);
        Placement::belongTo(dialog, mainWindow_.get());
        connect(dialog, &EntryDialog::saveRequested, commands_.get(), &EntryCommands::saveEntry);
        return dialog;
    });
}

void Application::openHelpWindow()
{
    // Without its file the help window declines to be shown; it goes at once, so that the next "View Help"
    // neither shows it empty nor misses a help file put there since.
    HelpWindow *help = helpWindow_.open([this] {
        auto *window = new HelpWindow(HelpFile::read(helpFilePath()), publisher_);
        Placement::belongTo(window, mainWindow_.get());
        if (window->showAfterLoad()) {
            connect(window, &HelpWindow::showAtStartupChanged, this, [this](bool show) { showHelp_.write(show); });
            window->setShowAtStartup(showHelp_.ticksBox());
        }
        return window;
    });
    if (!help->showAfterLoad()) {
        helpWindow_.unload();
    }
}

void Application::openAboutWindow()
{
    aboutWindow_.open([this] {
        auto *about = new AboutWindow(publisher_);
        connect(about, &AboutWindow::websiteRequested, this, &Application::openWebsite);
        return about;
    });
}

void Application::openWebsite()
{
    // Loaded, never shown: its load opens the site. While it still exists the request waits for its next load.
    websiteRequested_ = true;
    websiteLauncher_.load(
        [this] { return new WebsiteLauncher(publisher_, platform_.opener, std::exchange(websiteRequested_, false)); });
}

void Application::setStatusText(const QString &text, const QString &spoken)
{
    if (MainWindow *window = mainWindow_.get()) {
        window->setStatusText(text, spoken);
    }
}

void Application::unloadOtherWindows()
{
    helpWindow_.unload();
    aboutWindow_.unload();
    entryDialog_.unload();
    splash_.unload();
    if (publisher_.useSkin) {
        Skin::end();
    }
    websiteLauncher_.unload();
    passwordDialog_.unload();
}
