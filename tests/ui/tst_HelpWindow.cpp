#include "ui/MainWindow.h"
#include "app/Application.h"
#include "support/FakePlatform.h"
#include "ui/HelpWindow.h"

#include <QApplication>
#include <QCheckBox>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBrowser>

using namespace Qt::StringLiterals;

namespace {

const QByteArray HelpRtf = "{\\rtf1\\ansi{\\fonttbl{\\f0 Verdana;}}\\f0 Welcome to the help.\\par}";

// A program on a folder of its own, with the publisher settings filled as the splash window fills them.
struct HelpFixture {
    HelpFixture() { program.publisher() = PublisherSettings::fromBuild(); }
    ~HelpFixture() { QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); }
    Q_DISABLE_COPY_MOVE(HelpFixture)

    void writeHelp(const QByteArray &bytes) const
    {
        QFile file(program.helpFilePath());
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        QCOMPARE(file.write(bytes), bytes.size());
    }
    void storeShowHelp(const QString &value) { fake.settings.values.insert(settingPath(), value); }
    QString settingPath() { return program.publisher().productName + u"/Settings/showHelp"_s; }
    QStringList writes() const { return fake.settings.writes; }

    QTemporaryDir dir;
    FakePlatform fake;
    Application program{fake.platform, dir.path()};
};

QList<HelpWindow *> visibleHelpWindows()
{
    QList<HelpWindow *> found;
    for (QWidget *w : QApplication::topLevelWidgets()) {
        if (auto *help = qobject_cast<HelpWindow *>(w); help && help->isVisible()) {
            found.append(help);
        }
    }
    return found;
}

} // namespace

class tst_HelpWindow final : public QObject {
    Q_OBJECT

private slots:
    void viewHelp_fileThere_showsTopmostReadOnlyHelp();
    void viewHelp_shippedHelpFile_showsItFromTheTop();
    void load_storedSetting_setsBoxAndWritesOnlyAChange_data();
    void load_storedSetting_setsBoxAndWritesOnlyAChange();
    void checkBox_untickThenTick_writesEachAtOnce();
    void close_writesNothing_andNextOpenLoadsAgain();
    void startupRule_storedValue_opensOnlyForExactlyOne_data();
    void startupRule_storedValue_opensOnlyForExactlyOne();
    void viewHelp_fileMissing_showsNothingEvenTwice();
    void viewHelp_fileAddedAfterAMissedOpen_showsIt();
    void viewHelp_whileOpen_oneWindowAndFileNotReadAgain();
    void viewHelp_unusableFile_opensQuietlyAsFarAsFilled_data();
    void viewHelp_unusableFile_opensQuietlyAsFarAsFilled();
};

void tst_HelpWindow::viewHelp_fileThere_showsTopmostReadOnlyHelp()
{
    HelpFixture f;
    f.writeHelp(HelpRtf);
    f.program.openHelpWindow();

    HelpWindow *help = f.program.helpWindow.get();
    QVERIFY(help && help->isVisible());
    QCOMPARE(help->windowTitle(), u"Readme/Help"_s);
    QVERIFY(help->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    // A tool window without owner: no taskbar entry.
    QCOMPARE(help->windowFlags() & Qt::WindowType_Mask, Qt::Tool);
    QVERIFY(!help->parentWidget());
    QVERIFY(!help->windowFlags().testFlag(Qt::WindowMinimizeButtonHint));
    QTest::keyClick(help->rtf1, Qt::Key_Escape);
    QVERIFY(help->isVisible());
    QCOMPARE(help->size(), QSize(686, 528));
    QVERIFY(help->rtf1->toPlainText().contains(u"Welcome to the help."_s));
    QVERIFY(help->rtf1->isReadOnly());
    QVERIFY(!help->rtf1->openLinks());
    QVERIFY(help->Check1->isChecked());
    QVERIFY(f.writes().isEmpty());
    QVERIFY(f.fake.messages.shown.isEmpty());
}

void tst_HelpWindow::viewHelp_shippedHelpFile_showsItFromTheTop()
{
    HelpFixture f;
    QFile shipped(QStringLiteral(QT_TESTCASE_SOURCEDIR "/../assets/Help.rtf"));
    QVERIFY(shipped.open(QIODevice::ReadOnly));
    f.writeHelp(shipped.readAll());
    f.program.openHelpWindow();

    QTextBrowser *view = f.program.helpWindow.get()->rtf1;
    QVERIFY(view->toPlainText().startsWith(u"Brisvane Help"_s));
    QVERIFY(view->toPlainText().contains(u"Show at Startup"_s));
    QCOMPARE(view->textCursor().position(), 0);
}

void tst_HelpWindow::load_storedSetting_setsBoxAndWritesOnlyAChange_data()
{
    QTest::addColumn<bool>("stored");
    QTest::addColumn<QString>("value");
    QTest::addColumn<bool>("ticked");
    QTest::addColumn<QStringList>("written");

    const QStringList none;
    QTest::newRow("absent: default 1") << false << QString() << true << none;
    QTest::newRow("1") << true << u"1"_s << true << none;
    QTest::newRow("0: unticks and writes 0") << true << u"0"_s << false << QStringList{u"0"_s};
    QTest::newRow("00") << true << u"00"_s << false << QStringList{u"0"_s};
    QTest::newRow("blank around 0") << true << u" 0 "_s << false << QStringList{u"0"_s};
    QTest::newRow("01") << true << u"01"_s << true << none;
    QTest::newRow("blank before 1") << true << u" 1"_s << true << none;
    QTest::newRow("other number 7") << true << u"7"_s << true << none;
    QTest::newRow("negative") << true << u"-1"_s << true << none;
    QTest::newRow("empty: not a number") << true << QString() << true << none;
    QTest::newRow("yes: not a number") << true << u"yes"_s << true << none;
    QTest::newRow("too big for a number") << true << u"99999999999"_s << true << none;
}

void tst_HelpWindow::load_storedSetting_setsBoxAndWritesOnlyAChange()
{
    QFETCH(bool, stored);
    QFETCH(QString, value);
    QFETCH(bool, ticked);
    QFETCH(QStringList, written);

    HelpFixture f;
    f.writeHelp(HelpRtf);
    if (stored) {
        f.storeShowHelp(value);
    }
    f.program.openHelpWindow();

    QCOMPARE(f.program.helpWindow.get()->Check1->isChecked(), ticked);
    QStringList expected;
    for (const QString &v : written) {
        expected.append(f.settingPath() + u'=' + v);
    }
    QCOMPARE(f.writes(), expected);
}

void tst_HelpWindow::checkBox_untickThenTick_writesEachAtOnce()
{
    HelpFixture f;
    f.writeHelp(HelpRtf);
    f.program.openHelpWindow();
    QCheckBox *box = f.program.helpWindow.get()->Check1;

    QTest::mouseClick(box, Qt::LeftButton);
    QCOMPARE(f.writes(), QStringList{f.settingPath() + u"=0"_s});
    QCOMPARE(f.fake.settings.read(f.program.publisher().productName, u"Settings"_s, u"showHelp"_s, u"1"_s), u"0"_s);

    box->setFocus();
    QTest::keyClick(box, Qt::Key_Space);
    QCOMPARE(f.writes(), (QStringList{f.settingPath() + u"=0"_s, f.settingPath() + u"=1"_s}));
}

void tst_HelpWindow::close_writesNothing_andNextOpenLoadsAgain()
{
    HelpFixture f;
    f.writeHelp(HelpRtf);
    f.storeShowHelp(u"0"_s);
    f.program.openHelpWindow();
    f.fake.settings.writes.clear();

    QVERIFY(f.program.helpWindow.get()->close());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(!f.program.helpWindow.isLoaded());
    QVERIFY(f.writes().isEmpty());

    // Unticked at the last load, so shown unticked again.
    f.program.openHelpWindow();
    QVERIFY(f.program.helpWindow.get()->isVisible());
    QVERIFY(!f.program.helpWindow.get()->Check1->isChecked());
}

void tst_HelpWindow::startupRule_storedValue_opensOnlyForExactlyOne_data()
{
    QTest::addColumn<bool>("stored");
    QTest::addColumn<QString>("value");
    QTest::addColumn<bool>("opens");

    QTest::newRow("absent") << false << QString() << true;
    QTest::newRow("1") << true << u"1"_s << true;
    QTest::newRow("0") << true << u"0"_s << false;
    QTest::newRow("empty") << true << QString() << false;
    QTest::newRow("blank before 1") << true << u" 1"_s << false;
    QTest::newRow("yes") << true << u"yes"_s << false;
    QTest::newRow("01") << true << u"01"_s << false;
}

void tst_HelpWindow::startupRule_storedValue_opensOnlyForExactlyOne()
{
    QFETCH(bool, stored);
    QFETCH(QString, value);
    QFETCH(bool, opens);

    HelpFixture f;
    f.writeHelp(HelpRtf);
    if (stored) {
        f.storeShowHelp(value);
    }
    // The main window's load finds no vault and opens the dialog that creates one; the start then ends here.
    MainWindow *main = f.program.mainWindow.load(f.program);
    main->finishStartup();

    QVERIFY(main->isVisible());
    QCOMPARE(visibleHelpWindows().size(), opens ? 1 : 0);
    if (opens) {
        QVERIFY(f.writes().isEmpty());
    }
}

void tst_HelpWindow::viewHelp_fileMissing_showsNothingEvenTwice()
{
    HelpFixture f;
    f.program.openHelpWindow();
    f.program.openHelpWindow();

    QVERIFY(visibleHelpWindows().isEmpty());
    QVERIFY(!f.program.helpWindow.isLoaded());
    QVERIFY(f.fake.messages.shown.isEmpty());
    QVERIFY(f.writes().isEmpty());
}

void tst_HelpWindow::viewHelp_fileAddedAfterAMissedOpen_showsIt()
{
    HelpFixture f;
    f.program.openHelpWindow();
    f.writeHelp(HelpRtf);
    f.program.openHelpWindow();

    QCOMPARE(visibleHelpWindows().size(), 1);
    QVERIFY(f.program.helpWindow.get()->rtf1->toPlainText().contains(u"Welcome"_s));
}

void tst_HelpWindow::viewHelp_whileOpen_oneWindowAndFileNotReadAgain()
{
    HelpFixture f;
    f.writeHelp(HelpRtf);
    f.program.openHelpWindow();
    HelpWindow *first = f.program.helpWindow.get();

    f.writeHelp("{\\rtf1 Changed on disk.}");
    f.program.openHelpWindow();

    QCOMPARE(f.program.helpWindow.get(), first);
    QCOMPARE(visibleHelpWindows().size(), 1);
    QVERIFY(first->rtf1->toPlainText().contains(u"Welcome"_s));
}

void tst_HelpWindow::viewHelp_unusableFile_opensQuietlyAsFarAsFilled_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<qint64>("size"); // grown sparse to this size when larger than the bytes
    QTest::addColumn<QString>("shown");
    QTest::addColumn<QString>("notShown");

    QTest::newRow("empty file") << QByteArray() << qint64(0) << QString() << QString();
    QTest::newRow("plain text, not rich text") << QByteArray("Just text") << qint64(0) << QString() << u"Just"_s;
    QTest::newRow("cut off in a group") << QByteArray("{\\rtf1 Half a help {\\b bold") << qint64(0) << u"Half a help"_s
                                        << QString();
    QTest::newRow("larger than the limit") << HelpRtf << HelpWindow::MaxHelpFileBytes + 1 << QString() << u"Welcome"_s;
}

void tst_HelpWindow::viewHelp_unusableFile_opensQuietlyAsFarAsFilled()
{
    QFETCH(QByteArray, bytes);
    QFETCH(qint64, size);
    QFETCH(QString, shown);
    QFETCH(QString, notShown);

    HelpFixture f;
    f.writeHelp(bytes);
    if (size > bytes.size()) {
        QFile file(f.program.helpFilePath());
        QVERIFY(file.resize(size));
    }
    f.program.openHelpWindow();

    HelpWindow *help = f.program.helpWindow.get();
    QVERIFY(help && help->isVisible());
    QVERIFY(help->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    QVERIFY(help->Check1->isChecked());
    QVERIFY(f.fake.messages.shown.isEmpty());
    const QString text = help->rtf1->toPlainText();
    QVERIFY2(shown.isEmpty() || text.contains(shown), qPrintable(text));
    QVERIFY2(notShown.isEmpty() || !text.contains(notShown), qPrintable(text));
}

QTEST_MAIN(tst_HelpWindow)
#include "tst_HelpWindow.moc"
