#include "core/VaultStore.h"

#include "core/CodePage1252.h"
#include "core/EntryStore.h"
#include "core/HighBitCipher.h"
#include "core/VaultFormat.h"
#include "core/VaultPath.h"

#include <QDateTime>
#include <QLocale>

using namespace Qt::StringLiterals;

namespace {

QByteArray toBytes(const QString &text)
{
    QByteArray bytes;
    CodePage1252::fromUnicode(text, bytes);
    return bytes;
}

// The format with every run of `letter` outside quoted text replaced.
QString withFieldReplaced(const QString &format, char16_t letter, const QString &replacement)
{
    QString out;
    bool quoted = false;
    for (qsizetype i = 0; i < format.size();) {
        const QChar c = format[i];
        if (c == u'\'') {
            quoted = !quoted;
        }
        if (quoted || c != letter) {
            out += c;
            ++i;
            continue;
        }
        while (i < format.size() && format[i] == letter) {
            ++i;
        }
        out += replacement;
    }
    return out;
}

// The locale's long time format without its time zone, which the status text does not show.
QString timeFormatWithoutZone(const QLocale &locale)
{
    return withFieldReplaced(locale.timeFormat(QLocale::LongFormat), u't', {}).simplified();
}

// The locale's short date format with every year in four digits: "12/6/26" could be read as another century.
QString dateFormatWithFullYear(const QLocale &locale)
{
    return withFieldReplaced(locale.dateFormat(QLocale::ShortFormat), u'y', u"yyyy"_s);
}

} // namespace

QString VaultStore::savedStatusText(const QDateTime &when, const QLocale &locale)
{
    return u"Saved "_s + locale.toString(when.date(), dateFormatWithFullYear(locale)) + u' ' +
           locale.toString(when.time(), timeFormatWithoutZone(locale));
}

VaultStore::VaultStore(EntryStore &list, QString vaultPath) : list_(list), path_(std::move(vaultPath)) {}

VaultFile::Result VaultStore::readVault(QByteArray &bytes, VaultFile::Extent extent)
{
    if (!VaultPath::fileExists(path_)) {
        const VaultFile::Result created = VaultFile::createNew(path_, VaultFormat::emptyVault(), faultHook_, fileLock_);
        if (!created.ok) {
            return created;
        }
    }
    return VaultFile::read(path_, bytes, extent);
}

VaultStore::FirstRun VaultStore::checkFirstRun()
{
    // Only line 1 is needed before the password is typed: a large vault is read once, at the unlock.
    QByteArray bytes;
    if (const VaultFile::Result r = readVault(bytes, VaultFile::Extent::FirstLine); !r.ok) {
        return {FirstRun::Gate::CannotOpen, r.error};
    }
    // Deciphered where it was read: a long line is not copied once more before it becomes text.
    bytes.truncate(VaultFormat::firstLine(bytes).size());
    HighBitCipher::toggleInto(bytes.constData(), bytes.data(), bytes.size());
    storedPassword_ = CodePage1252::toUnicode(bytes);
    return {storedPassword_.isEmpty() ? FirstRun::Gate::CreatePassword : FirstRun::Gate::EnterPassword, {}};
}

VaultStore::Loaded VaultStore::unlock(const QString &password)
{
    QByteArray bytes;
    // A vault that could not be read whole must never be saved back over itself: nothing is kept.
    if (const VaultFile::Result r = readVault(bytes); !r.ok) {
        return {false, 0, r.error};
    }
    masterPassword_ = password;
    VaultFormat::Contents contents = VaultFormat::parse(std::move(bytes));
    const auto count = qsizetype(contents.entries.size());
    list_.appendEntries(std::move(contents.entries));
    return {true, count, {}};
}

VaultStore::Outcome VaultStore::outcomeOf(const VaultFile::Result &result)
{
    if (result.notDurable) {
        return {Outcome::Status::NotConfirmed, result.error};
    }
    if (!result.ok) {
        return {Outcome::Status::Failed, result.error};
    }
    return {};
}

VaultStore::Outcome VaultStore::save()
{
    // Without the master password, line 1 would be written empty and the next start would ask for a new one.
    if (!isUnlocked()) {
        lastSave_ = Outcome::Status::Failed;
        return {lastSave_, u"The vault is not unlocked, so nothing was written."_s};
    }
    const QByteArray content = VaultFormat::serialize(toBytes(masterPassword_), list_.entries());
    const Outcome outcome = outcomeOf(VaultFile::replace(path_, content, faultHook_, fileLock_));
    // A save that the disk has not confirmed counts as failed, so that closing tries it once more.
    lastSave_ = outcome.status;
    return outcome;
}

VaultStore::Outcome VaultStore::createMasterPassword(const QString &password)
{
    // A file whose first line is empty may still hold entry lines; they are kept, not wiped.
    QByteArray bytes;
    if (const VaultFile::Result r = readVault(bytes); !r.ok) {
        return {Outcome::Status::Failed, r.error};
    }
    VaultFormat::Contents contents = VaultFormat::parse(std::move(bytes));
    const QByteArray stored = toBytes(password);
    const QByteArray content =
        contents.entries.empty() ? VaultFormat::passwordOnly(stored) : VaultFormat::serialize(stored, contents.entries);
    const Outcome outcome = outcomeOf(VaultFile::replace(path_, content, faultHook_, fileLock_));
    // A new file that is in place but not yet confirmed by the disk already holds the new password: the program goes
    // on with it, as after any save that the disk has not confirmed.
    if (outcome.written()) {
        masterPassword_ = password;
        list_.appendEntries(std::move(contents.entries));
    }
    return outcome;
}
