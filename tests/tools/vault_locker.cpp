// Takes the lock on a vault through the program's own start-up step, for the tests of second copies, which start
// many of these at once and need no display.
//
//   vault_locker <vault>
//
// Prints "locked", "held" (the program would end: another copy has the vault, or no vault can be made here; exit
// code 1, the program's message on stderr), "other machine" (the program would ask; the question is declined, exit
// code 1) or "unavailable" (no kind of lock can be had; it goes on without one, as the program does, its message on
// stderr). A copy that got the lock removes what an interrupted save left behind, as the program does, and keeps
// the lock until stdin closes or it is killed. Meanwhile each line "save <k>" on stdin saves SaveSeries content k
// through the lock, as the program's saves do, and prints "saved" or "failed".

#include "../reliability/SaveSeries.h"

#include "app/Application.h"
#include "core/VaultFile.h"
#include "core/VaultLock.h"
#include "support/FakePlatform.h"

#include <QCoreApplication>
#include <QFileInfo>

#include <cstdio>

using namespace Qt::StringLiterals;

namespace {

void say(const char *word)
{
    std::puts(word);
    std::fflush(stdout);
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    if (argc != 2) {
        std::fputs("usage: vault_locker <vault>\n", stderr);
        return 64;
    }
    const QString vault = QString::fromLocal8Bit(argv[1]);

    FakePlatform platform;
    bool asked = false;
    platform.messages.onShow = [&asked](const FakeMessageBoxes::Shown &shown) {
        asked = asked || shown.buttons == MessageBoxes::Buttons::OkCancelByDefaultCancel;
        std::fprintf(stderr, "%s\n", shown.text.toLocal8Bit().constData());
    };
    platform.messages.answers = {MessageBoxes::Answer::Cancel};
    Application program(platform.platform, QFileInfo(vault).path(), vault);
    if (!program.lockVault()) {
        say(asked ? "other machine" : "held");
        return 1;
    }
    VaultLock &lock = program.vaultLock();
    say(lock.holdsLockFile() || lock.holdsVaultFile() ? "locked" : "unavailable");
    char line[256];
    while (std::fgets(line, sizeof line, stdin)) {
        unsigned long long k = 0;
        if (std::sscanf(line, "save %llu", &k) == 1) {
            const VaultFile::Outcome r = VaultFile::replace(vault, SaveSeries::content(k), {}, &lock);
            if (!r.confirmed()) {
                std::fprintf(stderr, "%s\n", r.error.toLocal8Bit().constData());
            }
            say(r.confirmed() ? "saved" : "failed");
        }
    }
    return 0;
}
