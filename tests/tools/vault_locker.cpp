// Takes the lock on a vault exactly as the program does at start, for the tests of second copies, which start
// many of these at once and need no display.
//
//   vault_locker <vault>
//
// Prints "locked", "held" (another copy has the vault; exit code 1) or "unavailable" (the folder refuses the
// lock file; the program would go on without it). A copy that got the lock removes what an interrupted save left
// behind, as the program does, and keeps the lock until stdin closes or it is killed.

#include "core/VaultFile.h"
#include "core/VaultLock.h"

#include <QCoreApplication>

#include <cerrno>
#include <cstdio>
#include <unistd.h>

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
        return 1;
    case VaultLock::Outcome::Unavailable:
        say("unavailable");
        return 0;
    case VaultLock::Outcome::Locked:
        VaultFile::removeLeftovers(vault);
        say("locked");
        break;
    }
    char buffer[256];
    for (;;) {
        const ssize_t n = ::read(STDIN_FILENO, buffer, sizeof buffer);
        if (n == 0 || (n < 0 && errno != EINTR)) {
            break;
        }
    }
    lock.release();
    return 0;
}
