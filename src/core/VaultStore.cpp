#include "core/VaultStore.h"

#include "core/CodePage1252.h"
#include "core/EntryStore.h"
#include "core/FileSystem.h"
#include "core/HighBitCipher.h"
#include "core/VaultFormat.h"
#include "core/VaultPath.h"

#include <utility>

using namespace Qt::StringLiterals;

namespace {

QByteArray toBytes(const QString &text)
{
    QByteArray bytes;
    CodePage1252::fromUnicode(text, bytes);
    return bytes;
}

} // namespace

VaultStore::VaultStore(EntryStore &list, QString vaultPath) : list_(list), path_(std::move(vaultPath)) {}

VaultStore::FirstRun VaultStore::checkFirstRun()
{
    const FirstRun firstRun = firstLook();
    gate_ = firstRun.gate;
    return firstRun;
}

VaultStore::FirstRun VaultStore::firstLook()
{
    if (!FileSystem::fileExists(path_)) {
        const Outcome created = VaultFile::createNew(path_, VaultFormat::emptyVault(), faultHook_, fileLock_);
        if (!created.written()) {
            return {FirstRun::Gate::CannotOpen, created.error};
        }
    }
    // A vault that could not be read whole must never be saved back over itself: nothing is kept.
    if (const QString error = VaultFile::read(path_, firstLook_); !error.isEmpty()) {
        firstLook_.clear();
        return {FirstRun::Gate::CannotOpen, error};
    }
    // Only line 1 is deciphered now; the rest waits for the unlock, which deciphers it where it lies.
    QByteArray password = VaultFormat::firstLine(firstLook_).toByteArray();
    HighBitCipher::toggleInto(password.constData(), password.data(), password.size());
    storedPassword_ = CodePage1252::toUnicode(password);
    return {storedPassword_.isEmpty() ? FirstRun::Gate::CreatePassword : FirstRun::Gate::EnterPassword, {}};
}

VaultStore::Loaded VaultStore::unlock(const QString &password)
{
    if (storedPassword_.isEmpty() || password != storedPassword_) {
        return {};
    }
    masterPassword_ = password;
    std::vector<Entry> entries = VaultFormat::parse(std::exchange(firstLook_, {}));
    const auto count = qsizetype(entries.size());
    list_.appendEntries(std::move(entries));
    return {true, count};
}

VaultStore::Outcome VaultStore::save()
{
    // Without the master password, line 1 would be written empty and the next start would ask for a new one.
    if (!isUnlocked()) {
        lastSave_ = Outcome::Status::Failed;
        return {lastSave_, u"The vault is not unlocked, so nothing was written."_s};
    }
    const QByteArray content = VaultFormat::serialize(toBytes(masterPassword_), list_.entries());
    const Outcome outcome = VaultFile::replace(path_, content, faultHook_, fileLock_);
    // A save that the disk has not confirmed counts as failed, so that closing tries it once more.
    lastSave_ = outcome.status;
    return outcome;
}

VaultStore::Outcome VaultStore::createMasterPassword(const QString &password)
{
    // Without the first look the entry lines that the file may hold are not known, and would be wiped.
    if (gate_ != FirstRun::Gate::CreatePassword) {
        return {Outcome::Status::Failed, u"The vault file has not been read, so nothing was written."_s};
    }
    // A file whose first line is empty may still hold entry lines; they are kept, not wiped. The first look keeps its
    // bytes until the password is written, so that a failed write can be tried again without losing them.
    std::vector<Entry> entries = VaultFormat::parse(firstLook_);
    const QByteArray stored = toBytes(password);
    const QByteArray content =
        entries.empty() ? VaultFormat::passwordOnly(stored) : VaultFormat::serialize(stored, entries);
    const Outcome outcome = VaultFile::replace(path_, content, faultHook_, fileLock_);
    // A new file that is in place but not yet confirmed by the disk already holds the new password: the program goes
    // on with it, as after any save that the disk has not confirmed.
    if (outcome.written()) {
        gate_ = FirstRun::Gate::EnterPassword;
        firstLook_.clear();
        masterPassword_ = password;
        list_.appendEntries(std::move(entries));
    }
    return outcome;
}
