// The program's own handling of its windows: each exists at most once; the help window needs its file (without it
// the window goes at once, and a file put there later is found); the About window's website line opens the
// publisher's website through the hidden launcher; what a save that did not end well says; the publisher settings
// it hands out.

#include "app/EntryCommands.h"
#include "support/AppFixture.h"
#include "support/Widgets.h"
#include "ui/AboutWindow.h"
#include "ui/HelpWindow.h"
#include "ui/LinkLabel.h"
#include "ui/MainWindow.h"
#include "ui/WebsiteLauncher.h"

#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QTest>
#include <QTextBrowser>

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

QString helpText(const AppFixture &f)
{
    return child<QTextBrowser>(f.app.helpWindow(), u"helpView"_s)->toPlainText();
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
