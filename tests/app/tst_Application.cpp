// The program's own handling of its windows: each exists at most once; the help window needs its file (without it
// the window goes at once, and a file put there later is found), shows what can be read of a broken, large or costly
// one, and keeps its start-up box and setting alike; the About window's website line opens the
// publisher's website through the hidden launcher; what a save that did not end well says; the publisher settings
// it hands out.

#include "../../bench/HelpShapes.h"
#include "app/EntryCommands.h"
#include "app/HelpFile.h"
#include "rtf/RtfLayoutBudget.h"
#include "support/AppFixture.h"
#include "support/Widgets.h"
#include "ui/AboutWindow.h"
#include "ui/HelpWindow.h"
#include "ui/LinkLabel.h"
#include "ui/MainWindow.h"
#include "ui/WebsiteLauncher.h"

#include <QAbstractTextDocumentLayout>
#include <QApplication>
#include <QCheckBox>
#include <QFile>
#include <QLineEdit>
#include <QTest>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTextTable>

#include <cerrno>

using namespace Qt::StringLiterals;

Q_DECLARE_METATYPE(VaultFile::Step)

namespace {

const QByteArray HelpRtf = "{\\rtf1\\ansi{\\fonttbl{\\f0 Verdana;}}\\f0 Welcome to the help.\\par}";

template <class Window> int visibleWindows()
{
    int count = 0;
    for (QWidget *w : QApplication::topLevelWidgets()) {
        count += qobject_cast<Window *>(w) && w->isVisible() ? 1 : 0;
    }
    return count;
}

QTextBrowser *helpView(const AppFixture &f)
{
    return child<QTextBrowser>(f.app.helpWindow(), u"helpView"_s);
}

QString helpText(const AppFixture &f)
{
    return helpView(f)->toPlainText();
}

QCheckBox *startupBox(const AppFixture &f)
{
    return child<QCheckBox>(f.app.helpWindow(), u"showAtStartupBox"_s);
}

QString showHelpKey(const AppFixture &f)
{
    return f.app.publisher().productName + u"/Settings/showHelp"_s;
}

} // namespace

class tst_Application : public QObject {
    Q_OBJECT

private slots:
    void helpWindow_openedAgain_staysOneWindowAndReadsNoFileAgain()
    {
        AppFixture f;
        f.writeHelpFile(HelpRtf);
        f.app.openHelpWindow();
        HelpWindow *first = f.app.helpWindow();
        QVERIFY(first && first->isVisible());

        f.writeHelpFile("{\\rtf1 Changed on disk.}");
        f.app.openHelpWindow();

        QCOMPARE(f.app.helpWindow(), first);
        QCOMPARE(visibleWindows<HelpWindow>(), 1);
        QVERIFY(helpText(f).contains(u"Welcome"_s));
    }

    void helpWindow_fileMissing_goesAtOnceEvenTwice()
    {
        AppFixture f;
        f.app.openHelpWindow();
        f.app.openHelpWindow();

        QCOMPARE(visibleWindows<HelpWindow>(), 0);
        QVERIFY(!f.app.helpWindow());
        QVERIFY(f.fake.messages.shown.isEmpty());
        QVERIFY(f.fake.settings.writes.isEmpty());
    }

    void helpWindow_fileAddedAfterAMissedOpen_isShown()
    {
        AppFixture f;
        f.app.openHelpWindow();
        f.writeHelpFile(HelpRtf);
        f.app.openHelpWindow();

        QCOMPARE(visibleWindows<HelpWindow>(), 1);
        QVERIFY(helpText(f).contains(u"Welcome"_s));
    }

    void helpWindow_closed_writesNothingAndNextOpenLoadsAgain()
    {
        AppFixture f;
        f.writeHelpFile(HelpRtf);
        f.app.openHelpWindow(); // the fixture's setting is "0"
        QVERIFY(!child<QCheckBox>(f.app.helpWindow(), u"showAtStartupBox"_s)->isChecked());
        f.fake.settings.writes.clear();

        QVERIFY(f.app.helpWindow()->close());
        AppFixture::deleteUnloaded();
        QVERIFY(!f.app.helpWindow());
        QVERIFY(f.fake.settings.writes.isEmpty());

        // A new window, which reads the setting anew.
        f.fake.settings.values.insert(f.app.publisher().productName + u"/Settings/showHelp"_s, u"1"_s);
        f.app.openHelpWindow();
        QVERIFY(f.app.helpWindow()->isVisible());
        QVERIFY(child<QCheckBox>(f.app.helpWindow(), u"showAtStartupBox"_s)->isChecked());
    }

    void helpWindow_shippedHelpFile_showsItFromTheTop()
    {
        AppFixture f;
        QFile shipped(QStringLiteral(BRISVANE_SOURCE_DIR "/assets/Help.rtf"));
        QVERIFY(shipped.open(QIODevice::ReadOnly));
        f.writeHelpFile(shipped.readAll());
        f.app.openHelpWindow();
        QVERIFY(f.app.helpWindow() && f.app.helpWindow()->isVisible());
        QVERIFY(helpText(f).startsWith(u"Brisvane Help"_s));
        QVERIFY(helpText(f).contains(u"Show at Startup"_s));
        QCOMPARE(helpView(f)->textCursor().position(), 0);
    }

    void helpWindow_storedSetting_setsBoxAndWritesOnlyAChange_data()
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
    void helpWindow_storedSetting_setsBoxAndWritesOnlyAChange()
    {
        QFETCH(bool, stored);
        QFETCH(QString, value);
        QFETCH(bool, ticked);
        QFETCH(QStringList, written);

        AppFixture f;
        f.writeHelpFile(HelpRtf);
        f.fake.settings.values.remove(showHelpKey(f));
        if (stored) {
            f.fake.settings.values.insert(showHelpKey(f), value);
        }
        f.app.openHelpWindow();

        QCOMPARE(startupBox(f)->isChecked(), ticked);
        QStringList writes;
        for (const QString &v : written) {
            writes.append(showHelpKey(f) + u'=' + v);
        }
        QCOMPARE(f.fake.settings.writes, writes);
    }

    void helpWindow_unusableFile_opensQuietlyAsFarAsFilled_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<qint64>("size"); // grown sparse to this size when larger than the bytes
        QTest::addColumn<QString>("shown");
        QTest::addColumn<QString>("notShown");

        QTest::newRow("empty file") << QByteArray() << qint64(0) << QString() << QString();
        QTest::newRow("plain text, not rich text") << QByteArray("Just text") << qint64(0) << QString() << u"Just"_s;
        QTest::newRow("cut off in a group")
            << QByteArray("{\\rtf1 Half a help {\\b bold") << qint64(0) << u"Half a help"_s << QString();
        QTest::newRow("larger than the limit") << HelpRtf << HelpFile::MaxBytes + 1 << QString() << u"Welcome"_s;
    }
    void helpWindow_unusableFile_opensQuietlyAsFarAsFilled()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(qint64, size);
        QFETCH(QString, shown);
        QFETCH(QString, notShown);

        AppFixture f;
        f.writeHelpFile(bytes);
        if (size > bytes.size()) {
            QFile file(f.app.helpFilePath());
            QVERIFY(file.resize(size));
        }
        f.app.openHelpWindow();

        HelpWindow *help = f.app.helpWindow();
        QVERIFY(help && help->isVisible());
        QVERIFY(help->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
        const QString text = helpText(f);
        QVERIFY2(shown.isEmpty() || text.contains(shown), qPrintable(text));
        QVERIFY2(notShown.isEmpty() || !text.contains(notShown), qPrintable(text));
    }

    // Help files of the shapes that cost the view's layout the most, each a little past a bound where it has one.
    void helpWindow_costlyShape_cutWithNoteWithinBounds_data()
    {
        QTest::addColumn<QByteArray>("shape");
        QTest::addColumn<int>("units");
        QTest::addColumn<bool>("cut");
        const RtfLayoutBudget::Bounds bounds = RtfLayoutBudget::Bounds::helpView();
        const int lines = int(bounds.lines) + 1000;
        for (const char *shape : {"par", "line", "textlines", "list"}) {
            QTest::newRow(shape) << QByteArray(shape) << lines << true;
        }
        QTest::newRow("cells of one row") << "cells"_ba << int(bounds.cells) + 1 << true;
        QTest::newRow("rows of two cells") << "rows"_ba << int(bounds.cells) / 2 + 1 << true;
        QTest::newRow("pictures taller than the height bound") << "pictures"_ba << 500 << true;
        QTest::newRow("runs in one paragraph") << "runs"_ba << int(bounds.runs) + 1000 << true;
        QTest::newRow("distinct links in one paragraph") << "links"_ba << 20'000 << false;
        QTest::newRow("text in one paragraph") << "words"_ba << int(bounds.characters) / 5 + 1000 << true;
        QTest::newRow("JPEG of many scans, left out") << "scans"_ba << 1000 << false;
    }
    void helpWindow_costlyShape_cutWithNoteWithinBounds()
    {
        QFETCH(QByteArray, shape);
        QFETCH(int, units);
        QFETCH(bool, cut);

        AppFixture f;
        f.writeHelpFile(HelpShapes::file(shape.toStdString(), units));
        f.app.openHelpWindow();
        QTextDocument &document = *helpView(f)->document();

        const RtfLayoutBudget::Bounds bounds = RtfLayoutBudget::Bounds::helpView();
        QCOMPARE(document.lastBlock().text() == HelpFile::CutNote, cut);
        const QString text = document.toPlainText();
        QVERIFY(document.blockCount() + text.count(QChar::LineSeparator) <= bounds.lines + 2);
        QVERIFY(text.size() <= bounds.characters + bounds.lines + HelpFile::CutNote.size());
        QVERIFY(document.documentLayout()->documentSize().height() <= 1.2 * bounds.heightPixels);
        qsizetype cells = 0;
        for (const QObject *frame : document.rootFrame()->children()) {
            if (const auto *table = qobject_cast<const QTextTable *>(frame)) {
                cells += table->rows() * table->columns();
            }
        }
        QVERIFY(cells <= bounds.cells);
        qsizetype runs = 0;
        for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
            runs += block.textFormats().size();
        }
        QVERIFY(runs <= bounds.runs + bounds.lines);
        QCOMPARE(text.contains(QChar::ObjectReplacementCharacter), shape == "pictures");
    }

    void aboutWindow_openedAgain_staysOneWindow()
    {
        AppFixture f;
        f.app.openAboutWindow();
        AboutWindow *first = f.app.aboutWindow();
        QVERIFY(first && first->isVisible());
        f.app.openAboutWindow();
        QCOMPARE(f.app.aboutWindow(), first);
        QCOMPARE(visibleWindows<AboutWindow>(), 1);
    }

    void aboutWindow_websiteLine_opensSiteThroughLauncherAndStaysOpen()
    {
        AppFixture f;
        f.app.openAboutWindow();
        AboutWindow *about = f.app.aboutWindow();

        QTest::mouseClick(child<LinkLabel>(about, u"websiteLink"_s), Qt::LeftButton);

        QCOMPARE(f.fake.opener.urls, QList<QUrl>{QUrl(u"http://"_s + f.app.publisher().publisherUrl)});
        QVERIFY(f.app.websiteLauncher() && !f.app.websiteLauncher()->isVisible());
        QVERIFY(f.app.aboutWindow() == about && about->isVisible());
    }

    // A save that failed says that nothing was saved; one that wrote the vault but was not confirmed by the disk
    // says that instead, for a save and for the new master password alike, and the status bar agrees.
    void saveReport_saysWhatHappened_data()
    {
        QTest::addColumn<VaultFile::Step>("step");
        QTest::addColumn<bool>("newPassword");
        QTest::addColumn<QString>("says");
        QTest::addColumn<QString>("status");
        const QString notConfirmed = u"The vault was written, but the disk did not confirm that it holds it."_s;
        QTest::newRow("save fails") << VaultFile::Step::Rename << false << u"The vault could not be saved."_s
                                    << u"Data not saved.  The change is kept until the next save."_s;
        QTest::newRow("save not confirmed") << VaultFile::Step::FlushFolder << false << notConfirmed
                                            << u"Saved, but the disk has not confirmed it yet."_s;
        QTest::newRow("new password not confirmed") << VaultFile::Step::FlushFolder << true << notConfirmed
                                                    << u"Password created, but the disk has not confirmed it yet."_s;
    }
    void saveReport_saysWhatHappened()
    {
        QFETCH(VaultFile::Step, step);
        QFETCH(bool, newPassword);
        QFETCH(QString, says);
        QFETCH(QString, status);
        const auto f = newPassword ? std::make_unique<AppFixture>(AppFixture::BeforeStart{})
                                   : std::make_unique<AppFixture>(AppFixture::ThreeRows);
        if (newPassword) {
            f->app.loadMainWindow();
        }
        f->app.store().setFaultHook([step](VaultFile::Step s) { return s == step ? EIO : 0; });
        if (newPassword) {
            PasswordDialog *dialog = f->app.passwordDialog();
            child<QLineEdit>(dialog, u"passwordBox"_s)->setText(u"abcd"_s);
            child<QLineEdit>(dialog, u"retypeBox"_s)->setText(u"abcd"_s);
            dialog->confirm();
        } else {
            f->app.commands().saveEntry({}, u"dave"_s, u"d-pass"_s, {});
        }
        QCOMPARE(f->messageTexts().size(), 1);
        const QString text = f->messageTexts().first();
        QVERIFY2(text.startsWith(says), qPrintable(text));
        QVERIFY2(text.contains(u"error %1: "_s.arg(EIO)), qPrintable(text));
        QVERIFY2(step == VaultFile::Step::Rename || !text.contains(u"not be saved"_s), qPrintable(text));
        QCOMPARE(f->status(), status);
    }

    void publisher_isTheBuilds()
    {
        AppFixture f(AppFixture::BeforeStart{});
        const PublisherSettings &p = f.app.publisher();
        const PublisherSettings build = PublisherSettings::fromBuild();
        QCOMPARE(p.productName, u"Brisvane"_s);
        QCOMPARE(p.companyName, build.companyName);
        QCOMPARE(p.publisherUrl, build.publisherUrl);
        QVERIFY(!p.companyName.isEmpty());
        QVERIFY(!p.publisherUrl.isEmpty() && !p.publisherUrl.contains(u"://"_s));
        QCOMPARE(p.versionMajor, build.versionMajor);
        QCOMPARE(p.versionMinor, build.versionMinor);
#ifdef BRISVANE_USE_SKIN
        QVERIFY(p.useSkin);
#else
        QVERIFY(!p.useSkin);
#endif
    }
};

QTEST_MAIN(tst_Application)
#include "tst_Application.moc"
