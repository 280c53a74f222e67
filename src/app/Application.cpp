#include "app/Application.h"

#include "app/EntryCommands.h"
#include "app/WebsiteLauncher.h"
#include "core/EntryListModel.h"
#include "core/VaultPath.h"
#include "core/VaultStore.h"
#include "ui/AboutWindow.h"
#include "ui/EntryDialog.h"
#include "ui/HelpWindow.h"
#include "ui/MainWindow.h"
#include "ui/PasswordDialog.h"
#include "ui/Skin.h"
#include "ui/SplashScreen.h"

using namespace Qt::StringLiterals;

Application::Application(Platform &platform, const QString &folder)
    : platform_(platform), folder_(folder), entries_(std::make_unique<EntryListModel>()),
      store_(std::make_unique<VaultStore>(*this, *entries_, VaultPath::inFolder(folder))),
      commands_(std::make_unique<EntryCommands>(*this))
{}

Application::~Application()
{
    websiteLauncher.unload();
    aboutWindow.unload();
    helpWindow.unload();
    entryDialog.unload();
    passwordDialog.unload();
    splash.unload();
    mainWindow.unload();
}

QString Application::helpFilePath() const
{
    return folder_ + u"/Help.rtf"_s;
}

void Application::start()
{
    splash.open([this] {
        auto *window = new SplashScreen(publisher_);
        connect(window, &SplashScreen::finished, this, [this] { loadMainWindow()->show(); });
        return window;
    });
}

void Application::endProgram()
{
    platform_.end.endProgram();
}

MainWindow *Application::loadMainWindow()
{
    if (!mainWindow.isLoaded()) {
        mainWindow.load([this] { return createMainWindow(); });
        store_->checkFirstRun();
    }
    return mainWindow.get();
}

MainWindow *Application::createMainWindow()
{
    const QIcon splashIcon = splash.isLoaded() ? splash.get()->windowIcon() : QIcon();
    auto *window = new MainWindow(*entries_, *store_, platform_.messages, publisher_, splashIcon);
    EntryCommands &commands = *commands_;
    connect(window, &MainWindow::addRequested, this, [&commands] { commands.addEntry(); });
    connect(window, &MainWindow::editRequested, this, [&commands] { commands.editEntry(); });
    connect(window, &MainWindow::deleteRequested, this, [&commands] { commands.deleteEntry(); });
    connect(window, &MainWindow::goToRequested, this, [&commands] { commands.goToLocation(); });
    connect(window, &MainWindow::websiteRequested, this, [&commands] { commands.openWebsite(); });
    connect(window, &MainWindow::copyRequested, this, [&commands](Entry::Field field) { commands.copyField(field); });
    connect(window, &MainWindow::helpRequested, this, &Application::openHelpWindow);
    connect(window, &MainWindow::aboutRequested, this, &Application::openAboutWindow);
    connect(window, &MainWindow::closing, this, [this] {
        unloadOtherWindows();
        endProgram();
    });
    return window;
}

void Application::openEntryDialog()
{
    entryDialog.open([this] {
        auto *dialog = new EntryDialog(entryRequest, *entries_, *store_, platform_.messages, publisher_);
        connect(dialog, &EntryDialog::statusMessage, this, &Application::setStatusText);
        return dialog;
    });
}

void Application::openHelpWindow()
{
    // Without its file the help window declines to be shown; it goes at once, so that the next "View Help"
    // neither shows it empty nor misses a help file put there since.
    HelpWindow *help =
        helpWindow.open([this] { return new HelpWindow(helpFilePath(), platform_.settings, publisher_); });
    if (!help->showAfterLoad()) {
        helpWindow.unload();
    }
}

void Application::openAboutWindow()
{
    aboutWindow.open([this] {
        auto *about = new AboutWindow(publisher_);
        connect(about, &AboutWindow::websiteRequested, this, [this] { commands_->openWebsite(); });
        return about;
    });
}

void Application::launchWebsite()
{
    // Loaded, never shown: its load opens the site. While it still exists the request waits for the next one.
    websiteLauncher.load([this] { return new WebsiteLauncher(publisher_, platform_.opener, websiteRequest); });
}

void Application::unloadOtherWindows()
{
    helpWindow.unload();
    aboutWindow.unload();
    entryDialog.unload();
    splash.unload();
    if (publisher_.useSkin) {
        Skin::end();
    }
    websiteLauncher.unload();
}

void Application::setStatusText(const QString &text)
{
    if (MainWindow *window = mainWindow.get()) {
        window->setStatusText(text);
    }
}

void Application::showPasswordDialog(bool createMode)
{
    const auto mode = createMode ? PasswordDialog::Mode::Create : PasswordDialog::Mode::Enter;
    PasswordDialog *dialog =
        passwordDialog.load([&] { return new PasswordDialog(mode, *store_, platform_, publisher_, mainWindow.get()); });
    dialog->show();
}

void Application::showCreatePassword()
{
    showPasswordDialog(true);
}

void Application::showEnterPassword()
{
    showPasswordDialog(false);
}

void Application::closePasswordDialog()
{
    passwordDialog.unload();
}

void Application::processEvents()
{
    platform_.events.processEvents();
}

void Application::finishStartup()
{
    MainWindow *window = mainWindow.get();
    if (!window) {
        return;
    }
    window->finishStartup();
    const QString showHelp = platform_.settings.read(publisher_.productName, u"Settings"_s, u"showHelp"_s, u"1"_s);
    if (showHelp == u"1"_s) {
        openHelpWindow();
    }
    closePasswordDialog();
}

void Application::reportSaveFailure(const QString &text)
{
    platform_.messages.show(mainWindow.get(), u"The vault could not be saved.\r\n\r\n"_s + text, {},
                            MessageBoxes::Buttons::Ok);
}

void Application::reportSaveNotConfirmed(const QString &text)
{
    platform_.messages.show(mainWindow.get(),
                            u"The vault was written, but the disk did not confirm that it holds it.\r\n\r\n"_s + text +
                                u"\r\n\r\nThe vault file holds the change, but it may not survive a power cut until a "
                                u"later save is confirmed."_s,
                            {}, MessageBoxes::Buttons::Ok);
}

void Application::fatalError(const QString &text)
{
    QWidget *parent = passwordDialog.isLoaded() ? static_cast<QWidget *>(passwordDialog.get()) : mainWindow.get();
    platform_.messages.show(parent, text + u"\r\n\r\nBrisvane will close now; the vault file is unchanged."_s, {},
                            MessageBoxes::Buttons::Ok);
    endProgram();
}
