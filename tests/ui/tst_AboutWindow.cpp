#include "app/WebsiteLauncher.h"
#include "app/Application.h"
#include "support/FakePlatform.h"
#include "ui/LinkLabel.h"
#include "ui/SkinService.h"
#include "ui/AboutWindow.h"
#include "ui/Skin.h"

#include <QAccessible>
#include <QAccessibleActionInterface>
#include <QApplication>
#include <QLabel>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

struct AboutFixture {
    AboutFixture() { program.publisher() = PublisherSettings::fromBuild(); }
    ~AboutFixture()
    {
        program.websiteLauncher.unload();
        program.aboutWindow.unload();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    Q_DISABLE_COPY_MOVE(AboutFixture)

    AboutWindow *open()
    {
        program.openAboutWindow();
        return program.aboutWindow.get();
    }

    QTemporaryDir dir;
    FakePlatform fake;
    Application program{fake.platform, dir.path()};
};

// Records that it was asked to skin a window; its colours are plain and distinct.
class RecordingSkin final : public SkinService {
public:
    Colors colors() const override { return {Qt::red, Qt::green, Qt::blue}; }
    void skinWindow(QWidget *window) override { skinned.append(window); }
    QList<QWidget *> skinned;
};

int visibleAboutWindows()
{
    int count = 0;
    for (QWidget *w : QApplication::topLevelWidgets()) {
        count += qobject_cast<AboutWindow *>(w) && w->isVisible() ? 1 : 0;
    }
    return count;
}

} // namespace

class tst_AboutWindow final : public QObject {
    Q_OBJECT

private slots:
    void cleanup() { Skin::setCurrent(nullptr); }

    void load_publisherData_fillsCaptionAndLabels();
    void load_version_majorDotMinorWithoutPadding_data();
    void load_version_majorDotMinorWithoutPadding();
    void load_emptyCompanyOrWebsite_leavesOnlyThatLabelEmpty_data();
    void load_emptyCompanyOrWebsite_leavesOnlyThatLabelEmpty();
    void load_markupInPublisherData_showsAsTyped();
    void open_twice_givesOneWindow();
    void website_clickOrKey_opensSiteAndStaysOpen_data();
    void website_clickOrKey_opensSiteAndStaysOpen();
    void website_screenReader_seesPressableLink();
    void skin_off_makesNoSkinLabelsAndSkinsNothing();
    void skin_on_copiesEveryPlainLabelWithItsTextThenSkins();
};

void tst_AboutWindow::load_publisherData_fillsCaptionAndLabels()
{
    AboutFixture f;
    f.program.publisher().companyName = u"Quokka Works"_s;
    f.program.publisher().publisherUrl = u"www.quokka.example"_s;
    AboutWindow *about = f.open();

    QVERIFY(about->isVisible());
    QCOMPARE(about->windowTitle(), u"About Brisvane"_s);
    QCOMPARE(about->Label1->text(), u"Brisvane"_s);
    QCOMPARE(about->captionLabels[0]->text(), u"Version:"_s);
    QCOMPARE(about->captionLabels[1]->text(), u"Owned By:"_s);
    QCOMPARE(about->captionLabels[2]->text(), u"Website:"_s);
    QCOMPARE(about->lblCompany->text(), u"Quokka Works"_s);
    QCOMPARE(about->lblWebsite->text(), u"www.quokka.example"_s);
    QCOMPARE(about->lblWebsite->accessibleName(), u"Website: www.quokka.example"_s);
    QCOMPARE(about->size(), QSize(497, 169));
    // Its own top-level window, with a taskbar entry and no minimise or maximise box.
    QVERIFY(!about->parentWidget());
    QCOMPARE(about->windowFlags() & Qt::WindowType_Mask, Qt::Window);
    QVERIFY(!about->windowFlags().testFlag(Qt::WindowMaximizeButtonHint));
}

void tst_AboutWindow::load_version_majorDotMinorWithoutPadding_data()
{
    QTest::addColumn<int>("major");
    QTest::addColumn<int>("minor");
    QTest::addColumn<QString>("shown");

    QTest::newRow("1.2") << 1 << 2 << u"1.2"_s;
    QTest::newRow("minor of two digits") << 1 << 10 << u"1.10"_s;
    QTest::newRow("zeros") << 0 << 0 << u"0.0"_s;
    QTest::newRow("large") << 12 << 345 << u"12.345"_s;
}

void tst_AboutWindow::load_version_majorDotMinorWithoutPadding()
{
    QFETCH(int, major);
    QFETCH(int, minor);
    QFETCH(QString, shown);

    AboutFixture f;
    f.program.publisher().versionMajor = major;
    f.program.publisher().versionMinor = minor;
    QCOMPARE(f.open()->lblVersion->text(), shown);
}

void tst_AboutWindow::load_emptyCompanyOrWebsite_leavesOnlyThatLabelEmpty_data()
{
    QTest::addColumn<QString>("company");
    QTest::addColumn<QString>("website");

    QTest::newRow("no company") << QString() << u"www.brisvane.example"_s;
    QTest::newRow("no website") << u"Brisvane Software"_s << QString();
    QTest::newRow("neither") << QString() << QString();
}

void tst_AboutWindow::load_emptyCompanyOrWebsite_leavesOnlyThatLabelEmpty()
{
    QFETCH(QString, company);
    QFETCH(QString, website);

    AboutFixture f;
    f.program.publisher().companyName = company;
    f.program.publisher().publisherUrl = website;
    AboutWindow *about = f.open();

    QCOMPARE(about->lblCompany->text(), company);
    QCOMPARE(about->lblWebsite->text(), website);
    QCOMPARE(about->Label1->text(), u"Brisvane"_s);
    QVERIFY(!about->lblVersion->text().isEmpty());
}

void tst_AboutWindow::load_markupInPublisherData_showsAsTyped()
{
    AboutFixture f;
    f.program.publisher().companyName = u"<b>Bold</b> & Co"_s;
    f.program.publisher().publisherUrl = u"<a href=x>site</a>"_s;
    AboutWindow *about = f.open();

    for (QLabel *label : {about->lblCompany, static_cast<QLabel *>(about->lblWebsite)}) {
        QCOMPARE(label->textFormat(), Qt::PlainText);
    }
    QCOMPARE(about->lblCompany->text(), u"<b>Bold</b> & Co"_s);
}

void tst_AboutWindow::open_twice_givesOneWindow()
{
    AboutFixture f;
    AboutWindow *first = f.open();
    QCOMPARE(f.open(), first);
    QCOMPARE(visibleAboutWindows(), 1);
    // Only the close box closes it.
    QTest::keyClick(first, Qt::Key_Escape);
    QVERIFY(first->isVisible());
}

void tst_AboutWindow::website_clickOrKey_opensSiteAndStaysOpen_data()
{
    QTest::addColumn<int>("key"); // 0: a mouse click

    QTest::newRow("click") << 0;
    QTest::newRow("Enter") << int(Qt::Key_Return);
    QTest::newRow("keypad Enter") << int(Qt::Key_Enter);
    QTest::newRow("Space") << int(Qt::Key_Space);
}

void tst_AboutWindow::website_clickOrKey_opensSiteAndStaysOpen()
{
    QFETCH(int, key);

    AboutFixture f;
    AboutWindow *about = f.open();
    LinkLabel *website = about->lblWebsite;
    QVERIFY(website->focusPolicy() & Qt::TabFocus);
    if (key == 0) {
        QTest::mouseClick(website, Qt::LeftButton);
    } else {
        website->setFocus();
        QTest::keyClick(website, Qt::Key(key));
    }

    QCOMPARE(f.fake.opener.urls, QList<QUrl>{QUrl(u"http://www.brisvane.example"_s)});
    QVERIFY(f.program.aboutWindow.get() == about && about->isVisible());
}

void tst_AboutWindow::website_screenReader_seesPressableLink()
{
    AboutFixture f;
    AboutWindow *about = f.open();
    QAccessibleInterface *link = QAccessible::queryAccessibleInterface(about->lblWebsite);
    QVERIFY(link);
    QCOMPARE(link->role(), QAccessible::Link);
    QCOMPARE(link->text(QAccessible::Name), u"Website: www.brisvane.example"_s);
    QAccessibleActionInterface *actions = link->actionInterface();
    QVERIFY(actions && actions->actionNames().contains(QAccessibleActionInterface::pressAction()));

    actions->doAction(QAccessibleActionInterface::pressAction());
    QCOMPARE(f.fake.opener.urls.size(), 1);
}

void tst_AboutWindow::skin_off_makesNoSkinLabelsAndSkinsNothing()
{
    RecordingSkin skin;
    Skin::setCurrent(&skin);
    AboutFixture f;
    f.program.publisher().useSkin = false; // as this build is configured, unless BRISVANE_USE_SKIN is on
    AboutWindow *about = f.open();

    QVERIFY(about->SkinLabel1.empty());
    QVERIFY(about->findChildren<QLabel *>(u"SkinLabel1_0"_s).isEmpty());
    QVERIFY(skin.skinned.isEmpty());
    QVERIFY(!about->lblCompany->testAttribute(Qt::WA_SetPalette));
}

void tst_AboutWindow::skin_on_copiesEveryPlainLabelWithItsTextThenSkins()
{
    RecordingSkin skin;
    Skin::setCurrent(&skin);
    AboutFixture f;
    f.program.publisher().useSkin = true;
    f.program.publisher().companyName = u"Quokka Works"_s;
    AboutWindow *about = f.open();

    // Element 0 lies below the window; then one copy per label: name, three captions, three values.
    QCOMPARE(about->SkinLabel1.size(), size_t(8));
    QVERIFY(about->SkinLabel1[0]->y() >= about->height());
    QStringList copied;
    for (size_t i = 1; i < about->SkinLabel1.size(); ++i) {
        copied.append(about->SkinLabel1[i]->text());
    }
    QCOMPARE(copied, (QStringList{u"Brisvane"_s, u"Version:"_s, u"Owned By:"_s, u"Website:"_s, u"1.2"_s,
                                  u"Quokka Works"_s, u"www.brisvane.example"_s}));
    QLabel *websiteCopy = about->SkinLabel1.back();
    QCOMPARE(websiteCopy->geometry(), about->lblWebsite->geometry());
    QCOMPARE(skin.skinned, QList<QWidget *>{about});

    // The copy lies over the website line; a click there still reaches it.
    QCOMPARE(about->childAt(about->lblWebsite->geometry().center()), about->lblWebsite);
}

QTEST_MAIN(tst_AboutWindow)
#include "tst_AboutWindow.moc"
