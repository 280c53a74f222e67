// The desktop operations on the real Qt and system: message boxes that fit the screen whatever they quote and that a
// held key does not answer, an opener whose failures are reported with their cause, and a process that other processes
// cannot read.

#include "platform/ProcessPrivacy.h"
#include "platform/QtPlatform.h"

#include <QApplication>
#include <QFile>
#include <QKeyEvent>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {

struct SeenBox {
    QSize size;
    QString text;
};

// Shows the text in a real message box and presses its OK button once the box is up.
SeenBox showAndPressOk(const QString &text)
{
    QtPlatform qt;
    SeenBox seen;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        for (QWidget *w : QApplication::topLevelWidgets()) {
            auto *box = qobject_cast<QMessageBox *>(w);
            if (box && box->isVisible()) {
                seen = {box->frameGeometry().size(), box->text()};
                box->button(QMessageBox::Ok)->click();
                return;
            }
        }
    });
    poll.start(20);
    const auto answer = qt.platform().messages.show(nullptr, text, {}, MessageBoxes::Buttons::Ok);
    if (answer != MessageBoxes::Answer::Ok) {
        seen.text = u"<not answered OK>"_s;
    }
    return seen;
}

} // namespace

class tst_Platform final : public QObject {
    Q_OBJECT

private slots:
    void messageBox_longText_fitsTheScreen_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("start");
        QTest::addColumn<QString>("end");
        const QString ordinary =
            u"Are you sure you want to delete the following information?\r\n\r\nUsername: bob\r\nPassword: pw"_s;
        QTest::newRow("ordinary message unchanged") << ordinary << ordinary << ordinary;
        const QString line = u"/srv/share/"_s + QString(100'000, u'x') + u"/report.txt"_s;
        QTest::newRow("100,000-character line")
            << u"This location could not be opened:\r\n"_s + line + u"\r\n\r\nNo such file."_s
            << u"This location could not be opened:\r\n/srv/share/xxx"_s << u"xxx/report.txt\r\n\r\nNo such file."_s;
        QStringList lines;
        for (int i = 1; i <= 10'000; ++i) {
            lines.append(u"line %1"_s.arg(i));
        }
        QTest::newRow("10,000 lines") << lines.join(u"\r\n"_s) << u"line 1\r\nline 2\r\n"_s
                                      << u"line 9999\r\nline 10000"_s;
    }
    void messageBox_longText_fitsTheScreen()
    {
        QFETCH(QString, text);
        QFETCH(QString, start);
        QFETCH(QString, end);
        const SeenBox box = showAndPressOk(text);
        QVERIFY2(box.size.isValid() && box.size.width() <= 1280 && box.size.height() <= 1024,
                 qPrintable(u"%1 x %2"_s.arg(box.size.width()).arg(box.size.height())));
        const QStringList lines = box.text.split(u'\n');
        QVERIFY2(lines.size() <= 40, qPrintable(QString::number(lines.size())));
        for (const QString &l : lines) {
            QVERIFY2(l.size() <= 300, qPrintable(QString::number(l.size())));
        }
        QVERIFY(box.text.startsWith(start));
        QVERIFY(box.text.endsWith(end));
    }

    // Enter held down on Delete opens the question; the key's repeats must not answer it.
    void messageBox_repeatsOfAHeldKey_doNotAnswer()
    {
        QtPlatform qt;
        int repeatsSent = 0;
        QTimer poll;
        QObject::connect(&poll, &QTimer::timeout, [&] {
            auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
            if (!box || !box->isVisible()) {
                return;
            }
            QWidget *target = box->focusWidget() ? box->focusWidget() : box;
            if (repeatsSent < 5) {
                for (const int key : {Qt::Key_Return, Qt::Key_Enter, Qt::Key_Space}) {
                    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, QString(), true);
                    QApplication::sendEvent(target, &press);
                }
                ++repeatsSent;
                return;
            }
            box->button(QMessageBox::Cancel)->click();
        });
        poll.start(20);
        const auto answer =
            qt.platform().messages.show(nullptr, u"Delete it?"_s, u"Confirm Delete"_s, MessageBoxes::Buttons::OkCancel);
        QCOMPARE(repeatsSent, 5);
        QCOMPARE(answer, MessageBoxes::Answer::Cancel);
    }

    void opener_failure_isReportedWithNumberOrWords_data()
    {
        QTest::addColumn<QByteArray>("script"); // the fake xdg-open; empty: none on the PATH
        QTest::addColumn<qsizetype>("addressLength");
        QTest::addColumn<QStringList>("said"); // what the report holds; empty: no report
        QTest::newRow("no opener") << QByteArray() << qsizetype(0)
                                   << QStringList{u"error 2: No such file or directory"_s, u"xdg-utils"_s};
        QTest::newRow("no handler") << QByteArray(
                                           "#!/bin/sh\necho \"no method available for opening '$1'\" >&2\nexit 3\n")
                                    << qsizetype(0)
                                    << QStringList{u"exit status 3: no program was found to open it."_s,
                                                   u"xdg-open said: no method available for opening 'file:///tmp'"_s};
        QTest::newRow("opened") << QByteArray("#!/bin/sh\nexit 0\n") << qsizetype(0) << QStringList();
        QTest::newRow("address longer than one argument may be")
            << QByteArray("#!/bin/sh\nexit 0\n") << qsizetype(200000)
            << QStringList{u"error 7: Argument list too long"_s};
    }
    void opener_failure_isReportedWithNumberOrWords()
    {
        QFETCH(QByteArray, script);
        QFETCH(qsizetype, addressLength);
        QFETCH(QStringList, said);
        const QTemporaryDir bin;
        QFile opener(bin.filePath(u"xdg-open"_s));
        QVERIFY(script.isEmpty() || (opener.open(QIODevice::WriteOnly) && opener.write(script) == script.size()));
        opener.close();
        opener.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        const QByteArray path = qgetenv("PATH");
        qputenv("PATH", QFile::encodeName(bin.path()));
        QtPlatform qt;
        QObject context;
        QStringList reports;
        qt.platform().opener.setFailureReport(
            &context, [&](Opener::Request, const QUrl &, const QString &reason) { reports.append(reason); });
        qt.platform().opener.openLocation(QUrl(u"file:///tmp"_s + QString(addressLength, u'x')));
        // An opener that succeeds reports nothing, so its end is waited for as the end of the process.
        QTest::qWait(said.isEmpty() ? 1000 : 0);
        QTRY_VERIFY_WITH_TIMEOUT(!reports.isEmpty() || said.isEmpty(), 5000);
        qputenv("PATH", path);
        QCOMPARE(reports.size(), said.isEmpty() ? 0 : 1);
        for (const QString &part : std::as_const(said)) {
            QVERIFY2(reports[0].contains(part), qPrintable(reports[0]));
        }
    }

    // Wherever the end is asked, before the event loop runs, in it or in a message box's loop (the box answers
    // Cancel), the loop returns with the first end's status, and no timer of the program fires after the request.
    void end_leavesEveryLoopWithTheFirstStatus_data()
    {
        QTest::addColumn<int>("depth"); // 0: before the event loop runs, 1: in it, 2: in a message box's loop
        QTest::newRow("before the event loop") << 0;
        QTest::newRow("in the event loop") << 1;
        QTest::newRow("in a message box") << 2;
    }
    void end_leavesEveryLoopWithTheFirstStatus()
    {
        QFETCH(int, depth);
        {
            QtPlatform qt;
            QTimer running;
            int ticks = 0, ticksAtEnd = -1;
            QObject::connect(&running, &QTimer::timeout, [&] { ++ticks; });
            running.start(0);
            const auto end = [&] {
                qt.platform().end.endProgram(1);
                qt.platform().end.endProgram(0);
                ticksAtEnd = ticks;
                QTimerEvent tick(running.timerId());
                QCoreApplication::sendEvent(&running, &tick);
            };
            auto answer = MessageBoxes::Answer::Ok;
            QTimer::singleShot(0, &running, [&] {
                if (depth == 2) {
                    answer = qt.platform().messages.show(nullptr, u"Delete it?"_s, {}, MessageBoxes::Buttons::OkCancel);
                }
            });
            depth == 0 ? end() : QTimer::singleShot(100, &running, end);
            QCOMPARE(qt.exec(), 1);
            QCOMPARE(ticks, ticksAtEnd);
            QCOMPARE(answer, depth == 2 ? MessageBoxes::Answer::Cancel : MessageBoxes::Answer::Ok);
        }
        // An end outside the loop leaves Qt's loops ended; one run of the loop lets the next test's run again.
        QTimer::singleShot(0, qApp, [] { QCoreApplication::quit(); });
        QCoreApplication::exec();
    }

    // In a child process, so that this one can still be debugged.
    void processPrivacy_undumpableWithoutCoreFiles()
    {
        const pid_t child = fork();
        QVERIFY(child >= 0);
        if (child == 0) {
            // Core files allowed to begin with, as far as this user may allow them.
            rlimit core{};
            getrlimit(RLIMIT_CORE, &core);
            core.rlim_cur = core.rlim_max;
            setrlimit(RLIMIT_CORE, &core);
            const bool done = ProcessPrivacy::closeToOtherProcesses();
            getrlimit(RLIMIT_CORE, &core);
            const bool ok = done && prctl(PR_GET_DUMPABLE) == 0 && core.rlim_cur == 0 && core.rlim_max == 0;
            _exit(ok ? 0 : 1);
        }
        int status = 0;
        QCOMPARE(waitpid(child, &status, 0), child);
        QVERIFY(WIFEXITED(status));
        QCOMPARE(WEXITSTATUS(status), 0);
        QCOMPARE(prctl(PR_GET_DUMPABLE), 1);
    }
};

QTEST_MAIN(tst_Platform)
#include "tst_Platform.moc"
