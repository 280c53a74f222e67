// The program's own handling of its windows: each exists at most once; the help window needs its file (without it
// the window goes at once, and a file put there later is found) and opens at start only when the setting is exactly
// "1"; the About window's website line opens the publisher's website through the hidden launcher.

#include "ui/WebsiteLauncher.h"
#include "support/AppFixture.h"
#include "support/ReferenceVault.h"
#include "ui/AboutWindow.h"
#include "ui/HelpWindow.h"
#include "ui/LinkLabel.h"
#include "ui/MainWindow.h"

#include <QApplication>
#include <QCheckBox>
#include <QTest>
#include <QTextBrowser>

#include <cerrno>
#include <optional>

using namespace Qt::StringLiterals;

Q_DECLARE_METATYPE(std::optional<QString>)
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

QString showHelpPath(AppFixture &f)
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
        HelpWindow *first = f.app.helpWindow.get();
        QVERIFY(first && first->isVisible());

        f.writeHelpFile("{\\rtf1 Changed on disk.}");
        f.app.openHelpWindow();

        QCOMPARE(f.app.helpWindow.get(), first);
        QCOMPARE(visibleWindows<HelpWindow>(), 1);
        QVERIFY(first->helpView->toPlainText().contains(u"Welcome"_s));
    }

    void helpWindow_fileMissing_goesAtOnceEvenTwice()
    {
        AppFixture f;
        f.app.openHelpWindow();
        f.app.openHelpWindow();

        QCOMPARE(visibleWindows<HelpWindow>(), 0);
        QVERIFY(!f.app.helpWindow.isLoaded());
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
        QVERIFY(f.app.helpWindow.get()->helpView->toPlainText().contains(u"Welcome"_s));
    }

    void helpWindow_closed_writesNothingAndNextOpenLoadsAgain()
    {
        AppFixture f;
        f.writeHelpFile(HelpRtf);
        f.app.openHelpWindow(); // the fixture's setting is "0"
        QVERIFY(!f.app.helpWindow.get()->showAtStartupBox->isChecked());
        f.fake.settings.writes.clear();

        QVERIFY(f.app.helpWindow.get()->close());
        AppFixture::deleteUnloaded();
        QVERIFY(!f.app.helpWindow.isLoaded());
        QVERIFY(f.fake.settings.writes.isEmpty());

        // A new window, which reads the setting anew.
        f.fake.settings.values.insert(showHelpPath(f), u"1"_s);
        f.app.openHelpWindow();
        QVERIFY(f.app.helpWindow.get()->isVisible());
        QVERIFY(f.app.helpWindow.get()->showAtStartupBox->isChecked());
    }

    void finishStartup_opensHelpOnlyForExactlyOne_data()
    {
        QTest::addColumn<std::optional<QString>>("stored");
        QTest::addColumn<bool>("opens");
        QTest::newRow("absent") << std::optional<QString>() << true;
        QTest::newRow("1") << std::optional(u"1"_s) << true;
        QTest::newRow("0") << std::optional(u"0"_s) << false;
        QTest::newRow("empty") << std::optional(QString()) << false;
        QTest::newRow("leading blank") << std::optional(u" 1"_s) << false;
        QTest::newRow("trailing blank") << std::optional(u"1 "_s) << false;
        QTest::newRow("leading zero") << std::optional(u"01"_s) << false;
        QTest::newRow("yes") << std::optional(u"yes"_s) << false;
    }
    void finishStartup_opensHelpOnlyForExactlyOne()
    {
        QFETCH(std::optional<QString>, stored);
        QFETCH(bool, opens);
        // No vault yet: the main window's load opens the dialog that creates one; the start then ends here.
        AppFixture f(AppFixture::BeforeStart{});
        f.writeHelpFile();
        f.fake.settings.values.remove(showHelpPath(f));
        if (stored) {
            f.fake.settings.values.insert(showHelpPath(f), *stored);
        }
        MainWindow *main = f.app.loadMainWindow();
        QVERIFY(f.app.passwordDialog.isLoaded());

        f.app.finishStartup();

        QVERIFY(main->isVisible());
        QVERIFY(!f.app.passwordDialog.isLoaded());
        QCOMPARE(f.app.helpWindow.isLoaded(), opens);
        QCOMPARE(visibleWindows<HelpWindow>(), opens ? 1 : 0);
        QVERIFY(f.fake.settings.writes.isEmpty());
    }

    void aboutWindow_openedAgain_staysOneWindow()
    {
        AppFixture f;
        f.app.openAboutWindow();
        AboutWindow *first = f.app.aboutWindow.get();
        QVERIFY(first && first->isVisible());
        f.app.openAboutWindow();
        QCOMPARE(f.app.aboutWindow.get(), first);
        QCOMPARE(visibleWindows<AboutWindow>(), 1);
    }

    void aboutWindow_websiteLine_opensSiteThroughLauncherAndStaysOpen()
    {
        AppFixture f;
        f.app.openAboutWindow();
        AboutWindow *about = f.app.aboutWindow.get();

        QTest::mouseClick(about->websiteLink, Qt::LeftButton);

        QCOMPARE(f.fake.opener.urls, QList<QUrl>{QUrl(u"http://"_s + f.app.publisher().publisherUrl)});
        QVERIFY(f.app.websiteLauncher.isLoaded() && !f.app.websiteLauncher.get()->isVisible());
        QVERIFY(f.app.aboutWindow.get() == about && about->isVisible());
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
        AppFixture f(AppFixture::ThreeRows);
        f.app.store().setFaultHook([step](VaultFile::Step s) { return s == step ? EIO : 0; });
        if (newPassword) {
            QVERIFY(ReferenceVault::writeFile(f.vaultPath(), "\r\n"));
            f.app.store().createMasterPassword();
        } else {
            QVERIFY(!f.app.store().save());
        }
        QCOMPARE(f.messageTexts().size(), 1);
        const QString text = f.messageTexts().first();
        QVERIFY2(text.startsWith(says), qPrintable(text));
        QVERIFY2(text.contains(u"error %1: "_s.arg(EIO)), qPrintable(text));
        QVERIFY2(step == VaultFile::Step::Rename || !text.contains(u"not be saved"_s), qPrintable(text));
        QCOMPARE(f.status(), status);
    }
};

QTEST_MAIN(tst_Application)
#include "tst_Application.moc"
