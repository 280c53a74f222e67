// Takes the lock on a vault exactly as the program does at start, for the tests of second copies, which start
// many of these at once and need no display.
//
//   vault_locker <vault>
//
// Prints "locked", "held" (another copy has the vault; exit code 1, the reason on stderr), "other machine" (the
// program would ask; exit code 1) or "unavailable" (no kind of lock can be had;
// it goes on without one, as the program does). A copy that got the lock removes what an interrupted save left behind,
// as the program does, and keeps the lock until stdin closes or it is killed. Meanwhile each line "save <k>" on stdin
// saves SaveSeries content k through the lock, as the program's saves do, and prints "saved" or "failed".

#include "../reliability/SaveSeries.h"

#include "core/VaultFile.h"
#include "core/VaultLock.h"

#include <QCoreApplication>

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

    VaultLock lock(vault);
    switch (lock.acquire()) {
    case VaultLock::Outcome::HeldByAnother:
        say("held");
        std::fprintf(stderr, "%s\n", lock.heldText().toLocal8Bit().constData());
        return 1;
    case VaultLock::Outcome::OtherMachine:
        say("other machine");
        return 1;
    case VaultLock::Outcome::Unavailable:
        say("unavailable");
        break;
    case VaultLock::Outcome::Locked:
        VaultFile::removeLeftovers(lock.vaultPath());
        say("locked");
        break;
    }
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
    lock.release();
    return 0;
}
