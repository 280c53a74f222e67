// The system calls of one real save, as strace sees them, come in the order that makes the save survive a power
// cut: all bytes written to a new file, that file flushed and closed, renamed over the vault, then the folder
// opened and flushed so that the rename itself is on disk. The vault is never opened for writing directly.

#include "reliability/HelperProgram.h"
#include "reliability/SaveSeries.h"
#include "support/ReferenceVault.h"

#include "core/VaultFile.h"

#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

struct Call {
    QString name;
    QStringList paths; // the quoted arguments
    QString firstArgument;
    QString arguments;
    qint64 result = -1;
};

QList<Call> parseTrace(const QString &trace)
{
    static const QRegularExpression line(u"^(?:\\d+\\s+)?(\\w+)\\((.*)\\)\\s+=\\s+(-?\\d+)"_s);
    static const QRegularExpression quoted(u"\"((?:[^\"\\\\]|\\\\.)*)\""_s);
    QList<Call> calls;
    for (const QString &text : trace.split(u'\n')) {
        const QRegularExpressionMatch m = line.match(text);
        if (!m.hasMatch()) {
            continue;
        }
        Call call{
            m.captured(1), {}, m.captured(2).section(u',', 0, 0).trimmed(), m.captured(2), m.captured(3).toLongLong()};
        for (auto it = quoted.globalMatch(call.arguments); it.hasNext();) {
            call.paths.append(it.next().captured(1));
        }
        calls.append(call);
    }
    return calls;
}

bool isRename(const Call &c)
{
    return c.name == u"rename"_s || c.name == u"renameat"_s || c.name == u"renameat2"_s;
}

bool isFlush(const Call &c)
{
    return c.name == u"fsync"_s || c.name == u"fdatasync"_s;
}

} // namespace

class tst_SaveSyscallOrder : public QObject {
    Q_OBJECT

private slots:
    void save_callsComeInDurableOrder_data()
    {
        QTest::addColumn<bool>("existing");
        QTest::addColumn<bool>("throughLink");
        QTest::newRow("new vault") << false << false;
        QTest::newRow("replacing a vault") << true << false;
        QTest::newRow("vault reached through a symbolic link") << true << true;
    }
    void save_callsComeInDurableOrder()
    {
        QFETCH(bool, existing);
        QFETCH(bool, throughLink);
        const QString strace = QStandardPaths::findExecutable(u"strace"_s);
        if (strace.isEmpty()) {
            QSKIP("strace is not installed; the order of a save's system calls cannot be watched");
        }
        const QString saver = helperProgram(u"vault_saver"_s);
        QVERIFY2(!saver.isEmpty(), "vault_saver is not built next to this test");
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString folder = QFileInfo(dir.path()).canonicalFilePath();
        const QString target = folder + (throughLink ? u"/real/data.enc"_s : u"/data.enc"_s);
        const QString vault = folder + u"/data.enc"_s;
        if (throughLink) {
            QVERIFY(QDir(folder).mkdir(u"real"_s));
            QVERIFY(QFile::link(target, vault));
        }
        if (existing) {
            QVERIFY(VaultFile::replace(target, SaveSeries::content(1)).confirmed());
        }

        const QString log = folder + u"/strace.log"_s;
        QProcess process;
        process.start(strace, {u"-f"_s, u"-o"_s, log, u"-e"_s,
                               u"trace=openat,open,creat,write,fsync,fdatasync,rename,renameat,renameat2,close"_s,
                               saver, u"once"_s, vault, u"7"_s});
        QVERIFY(process.waitForFinished(60000));
        const QString errors = QString::fromLocal8Bit(process.readAllStandardError());
        if (process.exitCode() != 0 && (errors.contains(u"ptrace"_s) || errors.contains(u"not permitted"_s))) {
            QSKIP(qPrintable(u"strace may not trace here: "_s + errors.trimmed()));
        }
        QCOMPARE(process.exitCode(), 0);
        QCOMPARE(ReferenceVault::readAll(target), SaveSeries::content(7));
        QVERIFY(QFileInfo(vault).isSymLink() == throughLink);

        const QList<Call> calls = parseTrace(QString::fromLocal8Bit(ReferenceVault::readAll(log)));
        const auto find = [&](qsizetype from, const auto &wanted) {
            for (qsizetype i = from; i < calls.size(); ++i) {
                if (wanted(calls[i])) {
                    return i;
                }
            }
            return qsizetype(-1);
        };
        const QString prefix = target + u".saving-"_s;

        // The new file, and everything done with its descriptor until it is closed.
        const qsizetype created = find(0, [&](const Call &c) {
            return c.name.startsWith(u"open"_s) && c.paths.value(0).startsWith(prefix) && c.result >= 0;
        });
        QVERIFY2(created >= 0, "no temporary file was opened beside the vault");
        QVERIFY2(calls[created].arguments.contains(u"O_EXCL"_s), qPrintable(calls[created].arguments));
        const QString temp = calls[created].paths[0];
        const QString fd = QString::number(calls[created].result);
        QStringList onTemp;
        qint64 written = 0;
        qsizetype closed = -1;
        for (qsizetype i = created + 1; i < calls.size() && closed < 0; ++i) {
            if (calls[i].firstArgument == fd) {
                // Writes in a row count as one step: a big vault takes several.
                const QString step = isFlush(calls[i]) ? u"flush"_s : calls[i].name;
                if (onTemp.isEmpty() || onTemp.last() != step) {
                    onTemp.append(step);
                }
                if (calls[i].name == u"write"_s) {
                    written += calls[i].result;
                }
                if (calls[i].name == u"close"_s) {
                    closed = i;
                }
            }
        }
        QCOMPARE(onTemp, (QStringList{u"write"_s, u"flush"_s, u"close"_s}));
        QCOMPARE(written, SaveSeries::content(7).size());

        const qsizetype renamed = find(closed, [&](const Call &c) { return isRename(c); });
        QVERIFY2(renamed > closed, "the new file was not renamed after it was closed");
        QCOMPARE(calls[renamed].paths, (QStringList{temp, target}));
        QCOMPARE(calls[renamed].result, 0);

        const qsizetype openedFolder = find(renamed, [&](const Call &c) {
            return c.name.startsWith(u"open"_s) && c.arguments.contains(u"O_DIRECTORY"_s) && c.result >= 0;
        });
        QVERIFY2(openedFolder > renamed, "the folder was not opened after the rename");
        QCOMPARE(calls[openedFolder].paths.value(0), QFileInfo(target).absolutePath());
        const QString folderFd = QString::number(calls[openedFolder].result);
        const qsizetype flushedFolder =
            find(openedFolder, [&](const Call &c) { return isFlush(c) && c.firstArgument == folderFd; });
        QVERIFY2(flushedFolder > openedFolder, "the folder was not flushed after the rename");
        QCOMPARE(calls[flushedFolder].result, 0);

        // The vault itself is only ever replaced, never opened for writing.
        for (const Call &c : calls) {
            const bool opensVault =
                c.name.startsWith(u"open"_s) && (c.paths.value(0) == target || c.paths.value(0) == vault);
            QVERIFY2(!opensVault || c.arguments.contains(u"O_RDONLY"_s), qPrintable(c.name + u'(' + c.arguments));
        }
    }
};

QTEST_GUILESS_MAIN(tst_SaveSyscallOrder)
#include "tst_SaveSyscallOrder.moc"
