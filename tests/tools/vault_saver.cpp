// Saves vaults the way the program does, for the reliability tests that watch or kill it from outside.
//
//   vault_saver series <vault> <first>   saves content k for k = first, first + 1, ... until killed
//   vault_saver once <vault> <k>         saves content k once
//
// After each completed save it prints k on a line of its own, flushed, so the watching test knows which saves
// finished. A save that fails prints the reason to stderr and ends with exit code 2.

#include "../reliability/SaveSeries.h"

#include "core/VaultFile.h"

#include <QString>

#include <cstdio>
#include <cstring>

namespace {

int usage()
{
    std::fputs("usage: vault_saver series|once <vault> <k>\n", stderr);
    return 64;
}

bool save(const QString &vault, quint64 k)
{
    const VaultFile::Outcome r = VaultFile::replace(vault, SaveSeries::content(k));
    if (!r.confirmed()) {
        std::fprintf(stderr, "save %llu failed: %s\n", static_cast<unsigned long long>(k),
                     r.error.toLocal8Bit().constData());
        return false;
    }
    std::printf("%llu\n", static_cast<unsigned long long>(k));
    std::fflush(stdout);
    return true;
}

} // namespace

int main(int argc, char *argv[])
{
    if (argc != 4) {
        return usage();
    }
    const QString vault = QString::fromLocal8Bit(argv[2]);
    bool valid = false;
    const quint64 first = QByteArray(argv[3]).toULongLong(&valid);
    if (!valid) {
        return usage();
    }
    if (std::strcmp(argv[1], "once") == 0) {
        return save(vault, first) ? 0 : 2;
    }
    if (std::strcmp(argv[1], "series") != 0) {
        return usage();
    }
    for (quint64 k = first;; ++k) {
        if (!save(vault, k)) {
            return 2;
        }
    }
}
