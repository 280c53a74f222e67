#include "app/Program.h"
#include "core/VaultFile.h"
#include "core/VaultLock.h"
#include "core/VaultPath.h"

#include <QFileInfo>

using namespace Qt::StringLiterals;

int main(int argc, char *argv[])
{
    Program program(argc, argv);
    Platform &platform = program.platform();
    const QString folder = QCoreApplication::applicationDirPath();
    const QString vault = VaultPath::inFolder(folder);

    VaultLock lock(vault);
    VaultLock::Outcome outcome = lock.acquire();
    if (outcome == VaultLock::Outcome::OtherMachine) {
        // Asked once: on a network folder nothing here can see whether Brisvane still runs on that machine, and
        // two copies writing one vault would lose entries, so it is taken over only when the user says so; Enter
        // alone does not.
        const auto answer = platform.messages.show(
            nullptr,
            u"Brisvane may be open with this vault on another machine:\r\n"_s + vault +
                u"\r\n\r\nIts lock file \u201c"_s + lock.lockFilePath() + u"\u201d says that the machine \u201c"_s +
                lock.otherMachine() +
                u"\u201d holds it, and from here it cannot be seen whether Brisvane still runs there.\r\n\r\nIf it "
                u"does, choose Cancel and close it there first. If it does not (it crashed, or the folder was "
                u"unplugged), choose OK to take the lock over and open the vault here."_s,
            {}, MessageBoxes::Buttons::OkCancelByDefaultCancel);
        if (answer != MessageBoxes::Answer::Ok) {
            return 1;
        }
        outcome = lock.takeOver();
    }
    switch (outcome) {
    case VaultLock::Outcome::HeldByAnother:
    case VaultLock::Outcome::OtherMachine:
        platform.messages.show(
            nullptr, u"Brisvane is already open with this vault:\r\n"_s + vault + u"\r\n\r\n"_s + lock.heldText(), {},
            MessageBoxes::Buttons::Ok);
        return 1;
    case VaultLock::Outcome::Locked:
        // Only the holder of the real file's lock may tidy its folder: another copy's save may be under way there.
        VaultFile::removeLeftovers(lock.vaultPath());
        break;
    case VaultLock::Outcome::Unavailable:
        // With no vault yet, a folder that takes no lock file may take no vault either: then that is all there is
        // to say, and the program cannot go on.
        if (!QFileInfo::exists(vault) && !QFileInfo(vault).isSymLink()) {
            if (const QString why = VaultPath::whyNoNewFile(folder); !why.isEmpty()) {
                platform.messages.show(
                    nullptr,
                    u"Brisvane cannot make its vault in this folder:\r\n"_s + folder + u"\r\n\r\n"_s + why +
                        u"\r\n\r\nBrisvane keeps its vault, data.enc, beside the program. Move the Brisvane folder "
                        u"to a place where you may make files (your home folder, for example) and start it there."_s,
                    {}, MessageBoxes::Buttons::Ok);
                return 1;
            }
        }
        // Said once, at the start. Where no vault file can be there at all, the store says so and ends instead.
        if (VaultPath::notAVaultFile(vault).isEmpty()) {
            platform.messages.show(
                nullptr,
                u"Brisvane could not lock this vault:\r\n"_s + vault +
                    u"\r\n\r\nNeither a lock file beside it nor a lock on the file itself is possible there. Brisvane "
                    u"opens it all the same, but a second copy of Brisvane started on this vault could overwrite "
                    u"its saves: run only one at a time."_s,
                {}, MessageBoxes::Buttons::Ok);
        }
        break;
    }
    return program.run(&lock);
}
