// The vault store against real files in a temporary folder: first start, unlock, save, creating the master
// password, and every way a save can fail, as the outcomes the store reports.
//
// Some cases make a file or folder immutable with chattr, since the tests run as root and mode bits do not stop
// root. They are skipped where the file system refuses chattr.

#include "core/EntryStore.h"
#include "core/VaultFile.h"
#include "core/VaultFormat.h"
#include "core/VaultStore.h"
#include "support/Immutable.h"
#include "support/ReferenceVault.h"
#include "support/SpecialFiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <cerrno>
#include <cstring>
#include <optional>
#include <sys/wait.h>
#include <unistd.h>

using namespace Qt::StringLiterals;
using ReferenceVault::Entries;
using ReferenceVault::fieldsOf;
using ReferenceVault::namesIn;
using ReferenceVault::readAll;
using ReferenceVault::writeFile;
using VaultFile::Step;

Q_DECLARE_METATYPE(VaultFile::Step)
using Gate = VaultStore::FirstRun::Gate;
Q_DECLARE_METATYPE(Gate)

namespace {

class FakeList final : public EntryStore {
public:
    std::vector<Entry> list;

    const std::vector<Entry> &entries() const override { return list; }
    void appendEntries(std::vector<Entry> entries) override
    {
        list.insert(list.end(), std::make_move_iterator(entries.begin()), std::make_move_iterator(entries.end()));
    }
};

QByteArray hex(const char *text)
{
    return QByteArray::fromHex(text);
}

const QByteArray ThreeEntryVault = hex("f0f7 0d0a e1fcfcfce2fcfcfce3 0d0a e4fcfcfce5fcfcfce6 0d0a "
                                       "e7fcfcfce8fcfcfce9 0d0a 0d0a"); // pw; a b c; d e f; g h i

std::vector<Entry> twoNewEntries()
{
    return {Entry::fromFields("x", "|y", "z"), Entry::fromText(u"\u20AC"_s, u"p"_s, u"w"_s)};
}
const QByteArray TwoNewEntryVault = hex("f0f7 0d0a f8fcfcfcfcf9fcfcfcfa 0d0a 00fcfcfcf0fcfcfcf7 0d0a 0d0a");

} // namespace

class tst_VaultStore : public QObject {
    Q_OBJECT

private:
    QTemporaryDir tmp_;
    QString folder_;
    QString path_;

    // The store on this test's vault, the list it fills, and what its last save came to.
    FakeList list_;
    std::optional<VaultStore> store_;
    VaultStore::Outcome last_;

    // A fresh start of the program on the same vault.
    void restart()
    {
        list_.list.clear();
        store_.emplace(list_, path_);
    }

    // The store as the program has it once "pw" unlocked the vault, with an empty list. The vault made for the first
    // look goes again: what the test then puts at the path is what the saves find there.
    bool unlock()
    {
        const bool unlocked = writeFile(path_, hex("f0f7 0d0a")) &&
                              store_->checkFirstRun().gate == Gate::EnterPassword && store_->unlock(u"pw"_s).ok;
        return QFile::remove(path_) && unlocked;
    }

    // True for a save that the disk confirmed.
    bool save()
    {
        last_ = store_->save();
        return last_.confirmed();
    }

private slots:
    void init()
    {
        QVERIFY(ReferenceVault::newVaultFolder(tmp_.path(), folder_, path_));
        restart();
    }

    // First start

    void checkFirstRun_noFile_createsOneEmptyLineAndAsksForCreateMode()
    {
        QCOMPARE(store_->checkFirstRun().gate, Gate::CreatePassword);
        QCOMPARE(readAll(path_), hex("0d0a"));
        // The vault holds passwords: it is private to its owner from the start.
        QCOMPARE(QFileInfo(path_).permissions() & ~(QFile::ReadUser | QFile::WriteUser),
                 QFile::ReadOwner | QFile::WriteOwner);
    }

    void checkFirstRun_existingFile_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<Gate>("gate");
        QTest::addColumn<QString>("storedPassword");
        QTest::newRow("zero-byte file") << QByteArray("") << Gate::CreatePassword << QString();
        QTest::newRow("new file") << hex("0d0a") << Gate::CreatePassword << QString();
        QTest::newRow("empty first line with entries")
            << hex("0d0a e1fcfcfce2fcfcfce3 0d0a") << Gate::CreatePassword << QString();
        QTest::newRow("password only") << hex("f0f7 0d0a") << Gate::EnterPassword << u"pw"_s;
        QTest::newRow("full save") << ThreeEntryVault << Gate::EnterPassword << u"pw"_s;
        QTest::newRow("password without terminator") << hex("f0f7") << Gate::EnterPassword << u"pw"_s;
        QTest::newRow("password line ended by a lone CR") << hex("f0f7 0d e1") << Gate::EnterPassword << u"pw"_s;
        QTest::newRow("password holding NUL and lone LF once enciphered")
            << hex("f0 00 0a 0d0a") << Gate::EnterPassword << u"p\u20AC\u0160"_s;
        QTest::newRow("password a stored space") << hex("20 0d0a") << Gate::EnterPassword << u"\u00A0"_s;
    }
    void checkFirstRun_existingFile()
    {
        QFETCH(QByteArray, file);
        QFETCH(Gate, gate);
        QFETCH(QString, storedPassword);
        QVERIFY(writeFile(path_, file));
        QCOMPARE(store_->checkFirstRun().gate, gate);
        QCOMPARE(readAll(path_), file); // only read
        QVERIFY(list_.list.empty());
        QVERIFY(!store_->unlock(storedPassword + u'x').ok && list_.list.empty());
        QCOMPARE(store_->unlock(storedPassword).ok, gate == Gate::EnterPassword);
    }

    void checkFirstRun_vaultPathIsAFolder_fatalErrorAndNothingWritten()
    {
        QVERIFY(QDir().mkdir(path_));
        const VaultStore::FirstRun firstRun = store_->checkFirstRun();
        QCOMPARE(firstRun.gate, Gate::CannotOpen);
        QVERIFY(!firstRun.error.isEmpty());
        QVERIFY(QFileInfo(path_).isDir());
        QCOMPARE(namesIn(path_), QStringList{});
        QCOMPARE(namesIn(folder_), QStringList{u"data.enc"_s});
    }

    // A file too large to be a vault is refused before any of it is read, its size and the limit named.
    void checkFirstRun_fileOverTheLimit_refusedNamingTheSizes()
    {
        QVERIFY(writeFile(path_, "\xf0\xf7\r\n") && QFile::resize(path_, VaultFile::MaxSize + 1)); // sparse
        const VaultStore::FirstRun firstRun = store_->checkFirstRun();
        QCOMPARE(firstRun.gate, Gate::CannotOpen);
        QVERIFY(firstRun.error.contains(u"is 1073741825 bytes long, more than the 1 GiB (1073741824 bytes)"_s));
    }

    void checkFirstRun_danglingLink_fatalErrorAndNothingCreated()
    {
        const QString target = folder_ + u"/elsewhere.enc"_s;
        QVERIFY(QFile::link(target, path_));
        QCOMPARE(store_->checkFirstRun().gate, Gate::CannotOpen);
        QVERIFY(!QFileInfo::exists(target));
    }

    // Something other than a vault file where the vault goes: the message says what is there, nothing waits on it
    // (a named pipe is never opened), nothing is written, and a save says the same.
    void vaultPathIsNotAFile_saysWhatIsThere_data()
    {
        QTest::addColumn<QString>("make"); // how the path is made
        QTest::addColumn<QString>("text"); // %1: the vault, %2: the test's folder, %3: the error's number and words
        QTest::addColumn<int>("error");
        QTest::newRow("folder") << u"folder"_s << u"\u201c%1\u201d is a folder, not a vault file (%3)."_s << EISDIR;
        QTest::newRow("named pipe") << u"pipe"_s << u"\u201c%1\u201d is a named pipe, not a vault file (%3)."_s
                                    << ESPIPE;
        QTest::newRow("socket") << u"socket"_s << u"\u201c%1\u201d is a socket, not a vault file (%3)."_s << ENXIO;
        QTest::newRow("link to a device")
            << u"link:/dev/null"_s
            << u"\u201c%1\u201d is a link to \u201c/dev/null\u201d, which is a device, not a vault file (%3)."_s
            << EINVAL;
        QTest::newRow("link to a folder")
            << u"link:sub"_s
            << u"\u201c%1\u201d is a link to \u201c%2/sub\u201d, which is a folder, not a vault file (%3)."_s << EISDIR;
        QTest::newRow("link to nothing")
            << u"link:gone.enc"_s
            << u"\u201c%1\u201d is a link to \u201c%2/gone.enc\u201d, which does not exist (%3)."_s << ENOENT;
        QTest::newRow("links to a link to nothing")
            << u"link:hop"_s << u"\u201c%1\u201d is a link to \u201c%2/gone.enc\u201d, which does not exist (%3)."_s
            << ENOENT;
        QTest::newRow("links in a loop")
            << u"link:loop"_s << u"\u201c%1\u201d is a link that leads round in a loop, never to a file (%3)."_s
            << ELOOP;
    }
    void vaultPathIsNotAFile_saysWhatIsThere()
    {
        QVERIFY(unlock());
        QFETCH(QString, make);
        QFETCH(QString, text);
        QFETCH(int, error);
        QVERIFY(QDir(folder_).mkdir(u"sub"_s));
        QVERIFY(QFile::link(folder_ + u"/gone.enc"_s, folder_ + u"/hop"_s));
        QVERIFY(QFile::link(folder_ + u"/loop"_s, folder_ + u"/loop2"_s));
        QVERIFY(QFile::link(folder_ + u"/loop2"_s, folder_ + u"/loop"_s));
        if (make.startsWith(u"link:"_s)) {
            const QString target = make.mid(5);
            QVERIFY(QFile::link(target.startsWith(u'/') ? target : folder_ + u'/' + target, path_));
        } else {
            const auto kind = make == u"folder"_s ? SpecialFiles::Kind::Folder
                              : make == u"pipe"_s ? SpecialFiles::Kind::NamedPipe
                                                  : SpecialFiles::Kind::Socket;
            QVERIFY(SpecialFiles::make(kind, path_));
        }
        const QString expected =
            QString(text)
                .replace(u"%1"_s, path_)
                .replace(u"%2"_s, folder_)
                .replace(u"%3"_s, u"error %1: %2"_s.arg(error).arg(QString::fromLocal8Bit(std::strerror(error))));
        const QStringList before = namesIn(folder_);

        list_.list = twoNewEntries();
        QVERIFY(!save());
        QCOMPARE(last_.error, expected);
        restart();
        QCOMPARE(store_->checkFirstRun().error, expected);
        QCOMPARE(namesIn(folder_), before);
    }

    // Load

    void loadVault_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<Entries>("entries");
        QTest::addColumn<qsizetype>("count");
        QTest::newRow("three entries in file order")
            << ThreeEntryVault << Entries{{"a", "b", "c"}, {"d", "e", "f"}, {"g", "h", "i"}} << qsizetype(3);
        QTest::newRow("one entry") << hex("f0f7 0d0a e1fcfcfce2fcfcfce3 0d0a 0d0a") << Entries{{"a", "b", "c"}}
                                   << qsizetype(1);
        QTest::newRow("empty vault") << hex("f0f7 0d0a 0d0a") << Entries{} << qsizetype(0);
        QTest::newRow("password only") << hex("f0f7 0d0a") << Entries{} << qsizetype(0);
        QTest::newRow("skipped lines are not counted") << hex("f0f7 0d0a 20 0d0a 0d0a e1fcfcfce2fcfcfce3 0d0a 20 0d0a")
                                                       << Entries{{"a", "b", "c"}} << qsizetype(1);
    }
    void loadVault()
    {
        QFETCH(QByteArray, file);
        QFETCH(Entries, entries);
        QFETCH(qsizetype, count);
        QVERIFY(writeFile(path_, file));
        QCOMPARE(store_->checkFirstRun().gate, Gate::EnterPassword);
        const VaultStore::Loaded loaded = store_->unlock(u"pw"_s);
        QVERIFY(loaded.ok);
        QCOMPARE(loaded.count, count);
        QCOMPARE(fieldsOf(list_.list), entries);
        QCOMPARE(readAll(path_), file);
    }

    void loadVault_vaultPathIsAFolder_fatalErrorAndNoSave()
    {
        QVERIFY(QDir().mkdir(path_));
        QCOMPARE(store_->checkFirstRun().gate, Gate::CannotOpen);
        QVERIFY(!store_->unlock(u"pw"_s).ok);
        QVERIFY(!store_->isUnlocked());
        QVERIFY(list_.list.empty());
        QVERIFY(QFileInfo(path_).isDir());
        QCOMPARE(namesIn(folder_), QStringList{u"data.enc"_s});
    }

    // Save

    void saveVault_writesTheExactBytes()
    {
        QVERIFY(unlock());
        QVERIFY(writeFile(path_, ThreeEntryVault));
        list_.list = twoNewEntries();
        QVERIFY(save());
        QCOMPARE(readAll(path_), TwoNewEntryVault);
        QVERIFY(!store_->lastSaveFailed());
        QCOMPARE(namesIn(folder_), QStringList{u"data.enc"_s});
    }

    void saveVault_beforeTheUnlock_writesNothing()
    {
        QVERIFY(writeFile(path_, ThreeEntryVault));
        list_.list = twoNewEntries();
        QVERIFY(!save());
        QCOMPARE(readAll(path_), ThreeEntryVault);
        QCOMPARE(last_.status, VaultStore::Outcome::Status::Failed);
        QVERIFY(store_->lastSaveFailed());
    }

    void saveVault_afterTheLastEntryWasDeleted_writesPasswordAndTwoLineEnds()
    {
        store_->checkFirstRun();
        QVERIFY(store_->createMasterPassword(u"pw"_s).confirmed());
        list_.list = twoNewEntries();
        QVERIFY(save());
        list_.list.clear();
        QVERIFY(save());
        QCOMPARE(readAll(path_), hex("f0f7 0d0a 0d0a"));
    }

    void saveVault_keepsTheVaultsPermissions()
    {
        QVERIFY(unlock());
        QVERIFY(writeFile(path_, ThreeEntryVault));
        const auto mode = QFile::ReadOwner | QFile::WriteOwner | QFile::ReadUser | QFile::WriteUser | QFile::ReadGroup;
        QVERIFY(QFile::setPermissions(path_, mode));
        QVERIFY(save());
        QCOMPARE(QFileInfo(path_).permissions(), mode);
    }

    // A vault that is a symbolic link is saved into the file it points to; the link stays a link.
    void saveVault_vaultIsALink_writesTheTargetAndKeepsTheLink()
    {
        QVERIFY(unlock());
        const QString realFolder = folder_ + u"/real"_s;
        QVERIFY(QDir().mkdir(realFolder));
        const QString target = realFolder + u"/vault.enc"_s;
        QVERIFY(writeFile(target, ThreeEntryVault));
        QVERIFY(QFile::link(target, path_));
        list_.list = twoNewEntries();
        QVERIFY(save());
        QVERIFY(QFileInfo(path_).isSymLink());
        QCOMPARE(readAll(target), TwoNewEntryVault);
        QCOMPARE(namesIn(realFolder), QStringList{u"vault.enc"_s});
    }

    // Create the master password

    void createMasterPassword_newFile_writesThePasswordLine()
    {
        store_->checkFirstRun();
        QVERIFY(store_->createMasterPassword(u"pw"_s).confirmed());
        QCOMPARE(readAll(path_), hex("f0f7 0d0a"));
        QVERIFY(store_->isUnlocked());
        QVERIFY(list_.list.empty());
        QCOMPARE(namesIn(folder_), QStringList{u"data.enc"_s});
    }

    void createMasterPassword_emptyFirstLineWithEntries_keepsThem()
    {
        QVERIFY(writeFile(path_, hex("0d0a e1fcfcfce2fcfcfce3 0d0a 20 0d0a e4 0d0a")));
        QCOMPARE(store_->checkFirstRun().gate, Gate::CreatePassword);
        QVERIFY(store_->createMasterPassword(u"pw"_s).confirmed());
        QCOMPARE(readAll(path_), hex("f0f7 0d0a e1fcfcfce2fcfcfce3 0d0a e4 0d0a 0d0a"));
        QCOMPARE(fieldsOf(list_.list), (Entries{{"a", "b", "c"}, {"d", "", ""}}));
    }

    void createMasterPassword_vaultPathIsAFolder_fatalErrorAndNothingWritten()
    {
        QVERIFY(QDir().mkdir(path_));
        QCOMPARE(store_->createMasterPassword(u"pw"_s).status, VaultStore::Outcome::Status::Failed);
        QVERIFY(!store_->isUnlocked());
        QVERIFY(QFileInfo(path_).isDir());
        QCOMPARE(namesIn(folder_), QStringList{u"data.enc"_s});
    }

    // Failed saves. Each one is reported, returns false and leaves the disk as it was; once the cause is gone the
    // next save writes everything, the changes made in between included.

    void saveVault_vaultPathIsAFolder_failsAndLaterSaveWritesEverything()
    {
        QVERIFY(unlock());
        QVERIFY(QDir().mkdir(path_));
        QVERIFY(writeFile(path_ + u"/inside"_s, "kept"));
        list_.list = twoNewEntries();

        QVERIFY(!save());
        QVERIFY(store_->lastSaveFailed());
        QCOMPARE(last_.status, VaultStore::Outcome::Status::Failed);
        QVERIFY(!last_.error.isEmpty());
        QCOMPARE(namesIn(path_), QStringList{u"inside"_s});
        QCOMPARE(readAll(path_ + u"/inside"_s), "kept");
        QCOMPARE(namesIn(folder_), QStringList{u"data.enc"_s});

        QVERIFY(QDir(path_).removeRecursively());
        QVERIFY(save());
        QVERIFY(!store_->lastSaveFailed());
        QCOMPARE(readAll(path_), TwoNewEntryVault);
    }

    void saveVault_folderAndVaultImmutable_failsUnchangedAndLaterSaveWritesEverything()
    {
        QVERIFY(unlock());
        QVERIFY(writeFile(path_, ThreeEntryVault));
        list_.list = twoNewEntries();
        {
            MAKE_IMMUTABLE(vault, path_);
            MAKE_IMMUTABLE(folder, folder_);
            QVERIFY(!save());
            QVERIFY(store_->lastSaveFailed());
            QCOMPARE(last_.status, VaultStore::Outcome::Status::Failed);
            QCOMPARE(readAll(path_), ThreeEntryVault);
            QCOMPARE(namesIn(folder_), QStringList{u"data.enc"_s});

            list_.list.push_back(Entry::fromFields("added", "while", "failing"));
            QVERIFY(!save());
            QCOMPARE(readAll(path_), ThreeEntryVault);
        }
        QVERIFY(save());
        QVERIFY(!store_->lastSaveFailed());
        QCOMPARE(list_.list.size(), size_t(3));
        QCOMPARE(readAll(path_), VaultFormat::serialize("pw", list_.list));
    }

    // A vault that its owner made read-only is not replaced behind their back by the rename: the save fails as
    // opening the file for writing would, and the file keeps its content and its mode. Root is not bound by mode
    // bits, so there an ordinary user ("nobody") saves from a child process.
    void saveVault_vaultReadOnlyForItsUser_failsAndChangesNothing()
    {
        QVERIFY(unlock());
        QVERIFY(writeFile(path_, ThreeEntryVault));
        QVERIFY(QFile::setPermissions(path_, QFile::ReadOwner));
        const QByteArray expected =
            u"error %1: %2"_s.arg(EACCES).arg(QString::fromLocal8Bit(std::strerror(EACCES))).toLocal8Bit();
        if (::geteuid() != 0) {
            list_.list = twoNewEntries();
            QVERIFY(!save());
            QCOMPARE(last_.status, VaultStore::Outcome::Status::Failed);
            QVERIFY2(last_.error.toLocal8Bit().contains(expected), qPrintable(last_.error));
        } else {
            const uid_t nobody = 65534;
            QVERIFY(::chmod(QFile::encodeName(tmp_.path()).constData(), 0711) == 0);
            QVERIFY(::chown(QFile::encodeName(folder_).constData(), nobody, nobody) == 0);
            QVERIFY(::chown(QFile::encodeName(path_).constData(), nobody, nobody) == 0);
            const pid_t child = ::fork();
            if (child == 0) {
                if (::setresgid(nobody, nobody, nobody) != 0 || ::setresuid(nobody, nobody, nobody) != 0) {
                    ::_exit(3);
                }
                const VaultFile::Outcome r = VaultFile::replace(path_, TwoNewEntryVault);
                ::_exit(r.written() ? 1 : r.error.toLocal8Bit().contains(expected) ? 0 : 2);
            }
            int status = 0;
            QVERIFY(child > 0 && ::waitpid(child, &status, 0) == child && WIFEXITED(status));
            QVERIFY2(WEXITSTATUS(status) != 1, "the read-only vault was replaced");
            QCOMPARE(WEXITSTATUS(status), 0); // 2: another message; 3: could not become an ordinary user
        }
        QCOMPARE(readAll(path_), ThreeEntryVault);
        QCOMPARE(QFileInfo(path_).permissions() & ~(QFile::ReadUser | QFile::WriteUser), QFile::ReadOwner);
        QCOMPARE(namesIn(folder_), QStringList{u"data.enc"_s});
    }

    // A folder that takes no new files, around a vault that can be written: the save writes the vault in place.
    void saveVault_folderRefusesNewFiles_writesInPlace_data()
    {
        QTest::addColumn<QByteArray>("old");
        QTest::addColumn<int>("entries");
        QTest::newRow("new content shorter than the old") << ThreeEntryVault << 1;
        QTest::newRow("new content longer than the old") << hex("f0f7 0d0a") << 1000;
        QTest::newRow("zero-byte vault") << QByteArray("") << 3;
    }
    void saveVault_folderRefusesNewFiles_writesInPlace()
    {
        QVERIFY(unlock());
        QFETCH(QByteArray, old);
        QFETCH(int, entries);
        QVERIFY(writeFile(path_, old));
        for (int i = 0; i < entries; ++i) {
            list_.list.push_back(Entry::fromFields(QByteArray::number(i), "pass", "somewhere"));
        }
        MAKE_IMMUTABLE(folder, folder_);
        QVERIFY2(save(), qPrintable(last_.error));
        QCOMPARE(readAll(path_), VaultFormat::serialize("pw", list_.list));
        QCOMPARE(namesIn(folder_), QStringList{u"data.enc"_s});
    }

    // A fault at each step of a save. Up to the rename the old vault stays byte for byte and the new file is
    // removed; after it the new vault is in place but not yet confirmed on disk, which is reported as well.
    void saveVault_faultAtEachStep_data()
    {
        QTest::addColumn<Step>("step");
        QTest::addColumn<int>("error");
        QTest::addColumn<bool>("newContentInPlace");
        QTest::newRow("create the new file, I/O error") << Step::CreateTemp << EIO << false;
        QTest::newRow("create the new file, too many open files") << Step::CreateTemp << EMFILE << false;
        QTest::newRow("write, disk full") << Step::Write << ENOSPC << false;
        QTest::newRow("write, I/O error") << Step::Write << EIO << false;
        QTest::newRow("flush the file") << Step::FlushFile << EIO << false;
        QTest::newRow("close") << Step::Close << EIO << false;
        QTest::newRow("rename") << Step::Rename << EXDEV << false;
        QTest::newRow("open the folder") << Step::OpenFolder << EACCES << true;
        QTest::newRow("flush the folder") << Step::FlushFolder << EIO << true;
    }
    void saveVault_faultAtEachStep()
    {
        QVERIFY(unlock());
        QFETCH(Step, step);
        QFETCH(int, error);
        QFETCH(bool, newContentInPlace);
        QVERIFY(writeFile(path_, ThreeEntryVault));
        list_.list = twoNewEntries();
        QList<Step> steps;
        store_->setFaultHook([&](Step s) {
            steps << s;
            return s == step ? error : 0;
        });

        QVERIFY(!save());
        QVERIFY(steps.contains(step));
        QVERIFY(store_->lastSaveFailed());
        // Written but not confirmed is said as such, never as a save that failed.
        QCOMPARE(last_.status,
                 newContentInPlace ? VaultStore::Outcome::Status::NotConfirmed : VaultStore::Outcome::Status::Failed);
        QVERIFY2(last_.error.contains(u"error %1: %2"_s.arg(error).arg(QString::fromLocal8Bit(std::strerror(error)))),
                 qPrintable(last_.error));
        QCOMPARE(readAll(path_), newContentInPlace ? TwoNewEntryVault : ThreeEntryVault);
        QCOMPARE(namesIn(folder_), QStringList{u"data.enc"_s});

        store_->setFaultHook({});
        QVERIFY(save());
        QCOMPARE(readAll(path_), TwoNewEntryVault);
    }

    // The new file cannot be made beside the vault for want of permission or room, so the save writes in place.
    // A fault there is reported, and the vault then reads as the old one or as the new one, never as a mix: up to
    // the first write it is untouched; after the write it is the new vault, even when it cannot be cut to length.
    void saveVault_faultWhileWritingInPlace_data()
    {
        QTest::addColumn<int>("besideError");
        QTest::addColumn<Step>("step");
        QTest::addColumn<int>("error");
        QTest::addColumn<bool>("readsAsNew");
        QTest::newRow("no permission beside, vault not writable") << EACCES << Step::OpenInPlace << EACCES << false;
        QTest::newRow("disk full beside, room cannot be reserved") << ENOSPC << Step::Reserve << ENOSPC << false;
        QTest::newRow("quota beside, first write fails") << EDQUOT << Step::Write << EIO << false;
        QTest::newRow("not permitted beside, cutting to length fails") << EPERM << Step::Truncate << EIO << true;
        QTest::newRow("no permission beside, flush fails") << EACCES << Step::FlushFile << EIO << true;
    }
    void saveVault_faultWhileWritingInPlace()
    {
        QVERIFY(unlock());
        QFETCH(int, besideError);
        QFETCH(Step, step);
        QFETCH(int, error);
        QFETCH(bool, readsAsNew);
        QVERIFY(writeFile(path_, ThreeEntryVault));
        list_.list = {Entry::fromFields("x", "y", "z")}; // shorter than the old vault
        store_->setFaultHook([&](Step s) { return s == Step::CreateTemp ? besideError : s == step ? error : 0; });
        QVERIFY(!save());
        QCOMPARE(last_.status, VaultStore::Outcome::Status::Failed);
        QCOMPARE(namesIn(folder_), QStringList{u"data.enc"_s});

        const QByteArray disk = readAll(path_);
        if (!readsAsNew) {
            QCOMPARE(disk, ThreeEntryVault);
        }
        QCOMPARE(ReferenceVault::passwordLineOf(disk), "pw");
        const Entries oldEntries = {{"a", "b", "c"}, {"d", "e", "f"}, {"g", "h", "i"}};
        const Entries newEntries = {{"x", "y", "z"}};
        QCOMPARE(fieldsOf(VaultFormat::parse(disk)), readsAsNew ? newEntries : oldEntries);

        store_->setFaultHook([](Step s) { return s == Step::CreateTemp ? EACCES : 0; });
        QVERIFY(save());
        QCOMPARE(readAll(path_), hex("f0f7 0d0a f8fcfcfcf9fcfcfcfa 0d0a 0d0a"));
    }

    void saveVault_noRoomBeside_writesInPlace()
    {
        QVERIFY(unlock());
        QVERIFY(writeFile(path_, ThreeEntryVault));
        list_.list = twoNewEntries();
        store_->setFaultHook([](Step s) { return s == Step::CreateTemp ? ENOSPC : 0; });
        QVERIFY(save());
        QCOMPARE(readAll(path_), TwoNewEntryVault);
    }

    // A save that stops after the new file is written but before it replaces the old one: the old vault still
    // loads whole.
    void saveVault_stopsBeforeTheRename_oldVaultLoadsWhole()
    {
        QVERIFY(unlock());
        QVERIFY(writeFile(path_, ThreeEntryVault));
        list_.list = twoNewEntries();
        store_->setFaultHook([](Step s) { return s == Step::Rename ? EIO : 0; });
        QVERIFY(!save());

        restart();
        QCOMPARE(store_->checkFirstRun().gate, Gate::EnterPassword);
        QVERIFY(store_->unlock(u"pw"_s).ok);
        QCOMPARE(fieldsOf(list_.list), (Entries{{"a", "b", "c"}, {"d", "e", "f"}, {"g", "h", "i"}}));
    }
};

QTEST_GUILESS_MAIN(tst_VaultStore)
#include "tst_VaultStore.moc"
