// The About window on its own: what its load fills in from the publisher settings, that only the close box closes
// it, its website line (click, keys, screen reader), and the skin-drawn copies of its labels.

#include "core/PublisherSettings.h"
#include "support/Widgets.h"
#include "ui/AboutWindow.h"
#include "ui/LinkLabel.h"
#include "ui/Skin.h"
#include "ui/SkinService.h"

#include <QAccessible>
#include <QAccessibleActionInterface>
#include <QLabel>
#include <QSignalSpy>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

PublisherSettings publisherWith(const QString &company, const QString &website)
{
    PublisherSettings p = PublisherSettings::fromBuild();
    p.companyName = company;
    p.publisherUrl = website;
    return p;
}

QLabel *label(const AboutWindow &about, const QString &name)
{
    return child<QLabel>(&about, name);
}

// The skin-drawn copies of the labels, in the order they were made.
std::vector<QLabel *> skinLabels(const AboutWindow &about)
{
    std::vector<QLabel *> out;
    while (auto *l = about.findChild<QLabel *>(u"skinLabel%1"_s.arg(out.size()))) {
        out.push_back(l);
    }
    return out;
}

} // namespace

class tst_AboutWindow final : public QObject {
    Q_OBJECT

private slots:
    void cleanup() { Skin::setCurrent(nullptr); }

    void load_publisherData_fillsCaptionAndLabels()
    {
        AboutWindow about(publisherWith(u"Quokka Works"_s, u"www.quokka.example"_s));

        QCOMPARE(about.windowTitle(), u"About Brisvane"_s);
        QCOMPARE(label(about, u"productLabel"_s)->text(), u"Brisvane"_s);
        QCOMPARE(label(about, u"captionLabel0"_s)->text(), u"Version:"_s);
        QCOMPARE(label(about, u"captionLabel1"_s)->text(), u"Owned By:"_s);
        QCOMPARE(label(about, u"captionLabel2"_s)->text(), u"Website:"_s);
        QCOMPARE(label(about, u"companyLabel"_s)->text(), u"Quokka Works"_s);
        QCOMPARE(child<LinkLabel>(&about, u"websiteLink"_s)->text(), u"www.quokka.example"_s);
        // A screen reader hears the window whole as it opens; each caption labels its value, which it does not repeat.
        QCOMPARE(about.accessibleDescription(),
                 u"Brisvane, version 1.2, owned by Quokka Works, website www.quokka.example"_s);
        QCOMPARE(label(about, u"captionLabel2"_s)->buddy(), child<LinkLabel>(&about, u"websiteLink"_s));
        QCOMPARE(child<LinkLabel>(&about, u"websiteLink"_s)->accessibleName(), u"www.quokka.example"_s);
        QCOMPARE(about.size(), QSize(497, 169));
        // Its own top-level window, with a taskbar entry and no minimise or maximise box.
        QVERIFY(!about.parentWidget());
        QCOMPARE(about.windowFlags() & Qt::WindowType_Mask, Qt::Window);
        QVERIFY(!about.windowFlags().testFlag(Qt::WindowMaximizeButtonHint));
    }

    void load_version_majorDotMinorWithoutPadding_data()
    {
        QTest::addColumn<int>("major");
        QTest::addColumn<int>("minor");
        QTest::addColumn<QString>("shown");

        QTest::newRow("1.2") << 1 << 2 << u"1.2"_s;
        QTest::newRow("minor of two digits") << 1 << 10 << u"1.10"_s;
        QTest::newRow("zeros") << 0 << 0 << u"0.0"_s;
        QTest::newRow("large") << 12 << 345 << u"12.345"_s;
    }
    void load_version_majorDotMinorWithoutPadding()
    {
        QFETCH(int, major);
        QFETCH(int, minor);
        QFETCH(QString, shown);

        PublisherSettings publisher = PublisherSettings::fromBuild();
        publisher.versionMajor = major;
        publisher.versionMinor = minor;
        const AboutWindow about(publisher);
        QCOMPARE(label(about, u"versionLabel"_s)->text(), shown);
    }

    void load_emptyCompanyOrWebsite_leavesOnlyThatLabelEmpty_data()
    {
        QTest::addColumn<QString>("company");
        QTest::addColumn<QString>("website");

        QTest::newRow("no company") << QString() << u"www.brisvane.example"_s;
        QTest::newRow("no website") << u"Brisvane Software"_s << QString();
        QTest::newRow("neither") << QString() << QString();
    }
    void load_emptyCompanyOrWebsite_leavesOnlyThatLabelEmpty()
    {
        QFETCH(QString, company);
        QFETCH(QString, website);

        AboutWindow about(publisherWith(company, website));

        QCOMPARE(label(about, u"companyLabel"_s)->text(), company);
        QCOMPARE(child<LinkLabel>(&about, u"websiteLink"_s)->text(), website);
        QCOMPARE(label(about, u"productLabel"_s)->text(), u"Brisvane"_s);
        QVERIFY(!label(about, u"versionLabel"_s)->text().isEmpty());
    }

    void load_markupInPublisherData_showsAsTyped()
    {
        AboutWindow about(publisherWith(u"<b>Bold</b> & Co"_s, u"<a href=x>site</a>"_s));

        for (QLabel *label :
             {label(about, u"companyLabel"_s), static_cast<QLabel *>(child<LinkLabel>(&about, u"websiteLink"_s))}) {
            QCOMPARE(label->textFormat(), Qt::PlainText);
        }
        QCOMPARE(label(about, u"companyLabel"_s)->text(), u"<b>Bold</b> & Co"_s);
    }

    void escape_leavesItOpen()
    {
        AboutWindow about(PublisherSettings::fromBuild());
        about.show();
        QTest::keyClick(&about, Qt::Key_Escape);
        QVERIFY(about.isVisible());
    }

    void website_clickOrKey_asksForTheSiteAndStaysOpen_data()
    {
        QTest::addColumn<int>("key"); // 0: a mouse click

        QTest::newRow("click") << 0;
        QTest::newRow("Enter") << int(Qt::Key_Return);
        QTest::newRow("keypad Enter") << int(Qt::Key_Enter);
        QTest::newRow("Space") << int(Qt::Key_Space);
    }
    void website_clickOrKey_asksForTheSiteAndStaysOpen()
    {
        QFETCH(int, key);

        AboutWindow about(PublisherSettings::fromBuild());
        about.show();
        QSignalSpy asked(&about, &AboutWindow::websiteRequested);
        LinkLabel *website = child<LinkLabel>(&about, u"websiteLink"_s);
        QVERIFY(website->focusPolicy() & Qt::TabFocus);
        if (key == 0) {
            QTest::mouseClick(website, Qt::LeftButton);
        } else {
            website->setFocus();
            QTest::keyClick(website, Qt::Key(key));
        }

        QCOMPARE(asked.size(), 1);
        QVERIFY(about.isVisible());
    }

    void website_screenReader_seesPressableLink()
    {
        PublisherSettings publisher = PublisherSettings::fromBuild();
        publisher.publisherUrl = u"www.brisvane.example"_s;
        AboutWindow about(publisher);
        QSignalSpy asked(&about, &AboutWindow::websiteRequested);
        QAccessibleInterface *link = QAccessible::queryAccessibleInterface(child<LinkLabel>(&about, u"websiteLink"_s));
        QVERIFY(link);
        QCOMPARE(link->role(), QAccessible::Link);
        QCOMPARE(link->text(QAccessible::Name), u"www.brisvane.example"_s);
        QAccessibleActionInterface *actions = link->actionInterface();
        QVERIFY(actions && actions->actionNames().contains(QAccessibleActionInterface::pressAction()));

        actions->doAction(QAccessibleActionInterface::pressAction());
        QCOMPARE(asked.size(), 1);
    }

    void skin_off_makesNoSkinLabelsAndSkinsNothing()
    {
        SkinService skin;
        Skin::setCurrent(&skin);
        PublisherSettings publisher = PublisherSettings::fromBuild();
        publisher.useSkin = false; // as this build is configured, unless BRISVANE_USE_SKIN is on
        AboutWindow about(publisher);

        QVERIFY(skinLabels(about).empty());
        QVERIFY(!about.autoFillBackground()); // the skin's own look for the window
        QVERIFY(!label(about, u"banner"_s)->testAttribute(Qt::WA_SetPalette));
    }

    void skin_on_copiesEveryPlainLabelWithItsTextThenSkins()
    {
        SkinService skin;
        Skin::setCurrent(&skin);
        PublisherSettings publisher = publisherWith(u"Quokka Works"_s, u"www.brisvane.example"_s);
        publisher.useSkin = true;
        publisher.versionMajor = 1;
        publisher.versionMinor = 2;
        AboutWindow about(publisher);

        // Element 0 lies below the window; then one copy per label: name, three captions, three values.
        const std::vector<QLabel *> copies = skinLabels(about);
        QCOMPARE(copies.size(), size_t(8));
        QVERIFY(copies[0]->y() >= about.height());
        QStringList copied;
        for (size_t i = 1; i < copies.size(); ++i) {
            copied.append(copies[i]->text());
        }
        QCOMPARE(copied, (QStringList{u"Brisvane"_s, u"Version:"_s, u"Owned By:"_s, u"Website:"_s, u"1.2"_s,
                                      u"Quokka Works"_s, u"www.brisvane.example"_s}));
        QLabel *websiteCopy = copies.back();
        QCOMPARE(websiteCopy->geometry(), child<LinkLabel>(&about, u"websiteLink"_s)->geometry());
        QVERIFY(about.autoFillBackground());
        QCOMPARE(label(about, u"banner"_s)->palette().color(QPalette::Window), skin.colors().color3);

        // The copy lies over the website line; a click there still reaches it.
        QCOMPARE(about.childAt(child<LinkLabel>(&about, u"websiteLink"_s)->geometry().center()),
                 child<LinkLabel>(&about, u"websiteLink"_s));
    }
};

QTEST_MAIN(tst_AboutWindow)
#include "tst_AboutWindow.moc"
