#include "core/VaultStore.h"

#include "core/CodePage1252.h"
#include "core/EntryStore.h"
#include "core/HighBitCipher.h"
#include "core/VaultFormat.h"
#include "core/VaultHost.h"
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

VaultStore::VaultStore(VaultHost &host, EntryStore &list, QString vaultPath)
    : host_(host), list_(list), path_(std::move(vaultPath))
{}

bool VaultStore::ensureVaultFile()
{
    if (VaultPath::fileExists(path_)) {
        return true;
    }
    const VaultFile::Result r = VaultFile::createNew(path_, VaultFormat::emptyVault(), faultHook_, fileLock_);
    if (!r.ok) {
        host_.fatalError(r.error);
    }
    return r.ok;
}

bool VaultStore::readVault(QByteArray &bytes)
{
    if (!ensureVaultFile()) {
        return false;
    }
    const VaultFile::Result r = VaultFile::read(path_, bytes);
    if (!r.ok) {
        // A vault that could not be read whole must never be saved back over itself: stop here.
        host_.fatalError(r.error);
    }
    return r.ok;
}

void VaultStore::checkFirstRun()
{
    QByteArray bytes;
    if (!readVault(bytes)) {
        return;
    }
    const QString stored = CodePage1252::toUnicode(HighBitCipher::toggle(VaultFormat::firstLine(bytes)));
    if (!stored.isEmpty()) {
        storedPassword_ = stored;
        host_.showEnterPassword();
    } else {
        host_.showCreatePassword();
    }
}

void VaultStore::load()
{
    QByteArray bytes;
    if (!readVault(bytes)) {
        return;
    }
    VaultFormat::Contents contents = VaultFormat::parse(std::move(bytes));
    const auto count = qsizetype(contents.entries.size());
    list_.appendEntries(std::move(contents.entries));
    host_.setStatusText(u"Loaded "_s + QString::number(count) + u" entries"_s);
    host_.finishStartup();
}

bool VaultStore::save()
{
    // Without the master password, line 1 would be written empty and the next start would ask for a new one.
    if (masterPassword_.isEmpty()) {
        lastSaveFailed_ = true;
        lastSaveUnconfirmed_ = false;
        host_.reportSaveFailure(u"The vault is not unlocked, so nothing was written."_s);
        return false;
    }
    const QByteArray content = VaultFormat::serialize(toBytes(masterPassword_), list_.entries());
    const VaultFile::Result r = VaultFile::replace(path_, content, faultHook_, fileLock_);
    // A save that the disk has not confirmed counts as failed, so that closing tries it once more.
    lastSaveFailed_ = !r.ok || r.notDurable;
    lastSaveUnconfirmed_ = r.notDurable;
    if (r.notDurable) {
        host_.reportSaveNotConfirmed(r.error);
        host_.setStatusText(u"Saved, but the disk has not confirmed it yet."_s);
        return false;
    }
    if (!r.ok) {
        host_.reportSaveFailure(r.error);
        host_.setStatusText(u"Data not saved.  The change is kept until the next save."_s);
        return false;
    }
    host_.setStatusText(savedStatusText(QDateTime::currentDateTime(), QLocale::system()));
    return true;
}

void VaultStore::createMasterPassword()
{
    host_.closePasswordDialog();
    host_.processEvents();

    // A file whose first line is empty may still hold entry lines; they are kept, not wiped.
    QByteArray bytes;
    if (!readVault(bytes)) {
        return;
    }
    VaultFormat::Contents contents = VaultFormat::parse(std::move(bytes));
    const QByteArray password = toBytes(masterPassword_);
    const QByteArray content = contents.entries.empty() ? VaultFormat::passwordOnly(password)
                                                        : VaultFormat::serialize(password, contents.entries);
    const VaultFile::Result r = VaultFile::replace(path_, content, faultHook_, fileLock_);
    // A new file that is in place but not yet confirmed by the disk already holds the new password: the program
    // goes on with it, as it would after any save that the disk has not confirmed, instead of ending as if the old
    // file were still there.
    if (!r.ok && !r.notDurable) {
        host_.fatalError(r.error);
        return;
    }
    if (r.notDurable) {
        host_.reportSaveNotConfirmed(r.error);
    }
    list_.appendEntries(std::move(contents.entries));
    host_.setStatusText(r.notDurable ? u"Password created, but the disk has not confirmed it yet."_s
                                     : u"Password created successfully"_s);
    host_.finishStartup();
}
