#include "shell/Program.h"

#include "commands/EntryCommands.h"
#include "commands/frmAdd.h"
#include "commands/frmWebsite.h"
#include "shell/EntryListModel.h"
#include "shell/Form1.h"
#include "shell/frmSplash.h"
#include "vault/frmPass.h"
#include "vault/modGlobals.h"
#include "windows/Form8.h"
#include "windows/frmAbout.h"
#include "windows/modSkin.h"

using namespace Qt::StringLiterals;

Program::Program(Platform &platform, const QString &folder)
    : platform_(platform), folder_(folder), entries_(std::make_unique<EntryListModel>()),
      store_(std::make_unique<modGlobals::VaultStore>(*this, *entries_, folder + u"/data.enc"_s)),
      commands_(std::make_unique<EntryCommands>(*this))
{}

Program::~Program()
{
    websiteLauncher.unload();
    aboutWindow.unload();
    helpWindow.unload();
    entryDialog.unload();
    passwordDialog.unload();
    splash.unload();
    mainWindow.unload();
}

QString Program::helpFilePath() const
{
    return folder_ + u"/Help.rtf"_s;
}

void Program::start()
{
    splash.open(*this);
}

void Program::endProgram()
{
    platform_.end.endProgram();
}

void Program::SetStatusText(const QString &text)
{
    if (Form1 *form = mainWindow.get()) {
        form->SetStatusText(text);
    }
}

void Program::openHelpWindow()
{
    // Without its file the help window declines to be shown; it goes at once, so that the next "View Help"
    // neither shows it empty nor misses a help file put there since.
    if (Form8 *help = helpWindow.open(*this); help && !help->showAfterLoad()) {
        helpWindow.unload();
    }
}

void Program::openAboutWindow()
{
    aboutWindow.open(*this);
}

void Program::unloadOtherWindows()
{
    helpWindow.unload();
    aboutWindow.unload();
    entryDialog.unload();
    splash.unload();
    if (publisher_.UseSkin) {
        modSkin::EndSkin();
    }
    websiteLauncher.unload();
}

void Program::showPasswordDialog(bool createMode)
{
    CreateMode = createMode;
    frmPass *dialog = passwordDialog.load(*this);
    dialog->show();
}

void Program::showCreatePassword()
{
    showPasswordDialog(true);
}

void Program::showEnterPassword()
{
    showPasswordDialog(false);
}

void Program::unloadPasswordDialog()
{
    passwordDialog.unload();
}

void Program::processEvents()
{
    platform_.events.processEvents();
}

void Program::afterFormLoad()
{
    if (Form1 *form = mainWindow.get()) {
        form->afterFormLoad();
    }
}

void Program::reportSaveFailure(const QString &text)
{
    platform_.messages.show(mainWindow.get(), u"The vault could not be saved.\r\n\r\n"_s + text, {},
                            MessageBoxes::Buttons::Ok);
}

void Program::fatalError(const QString &text)
{
    QWidget *parent = passwordDialog.isLoaded() ? static_cast<QWidget *>(passwordDialog.get()) : mainWindow.get();
    platform_.messages.show(parent, text + u"\r\n\r\nBrisvane will close now; the vault file is unchanged."_s, {},
                            MessageBoxes::Buttons::Ok);
    endProgram();
}
