// Skinning: which controls take which of the skin's colours, where the colouring walk stops, the skin's life from
// the splash window to the end, and that the windows take the skin only when the build switches it on.

#include "core/PublisherSettings.h"
#include "support/Widgets.h"
#include "ui/HelpWindow.h"
#include "ui/Skin.h"
#include "ui/SkinService.h"
#include "ui/SplashScreen.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTextBrowser>
#include <QTextDocument>
#include <QToolButton>
#include <QTreeView>

#include <memory>

using namespace Qt::StringLiterals;

namespace {

const QColor Color1(0x11, 0x22, 0x33);
const QColor Color2(0x44, 0x55, 0x66);
const QColor Color3(0x77, 0x88, 0x99);

// Hands out the test's colours and records every call, in order.
class RecordingSkin final : public SkinService {
public:
    Colors colors() const override
    {
        calls.append(u"colors"_s);
        return {Color1, Color2, Color3};
    }
    void skinWindow(QWidget *window) override
    {
        calls.append(u"skin "_s + window->objectName());
        windows.append(window);
    }
    void bind() override { calls.append(u"bind"_s); }
    void begin() override { calls.append(u"begin"_s); }
    void end() override { calls.append(u"end"_s); }

    mutable QStringList calls;
    QList<QWidget *> windows;
};

template <class W> W *control(QWidget *parent, const QString &name)
{
    auto *w = new W(parent);
    w->setObjectName(name);
    return w;
}

void refuse(QWidget *w)
{
    w->setProperty(Skin::RefusesColorProperty, true);
}

bool untouched(const QWidget *w)
{
    return !w->testAttribute(Qt::WA_SetPalette) && !w->autoFillBackground();
}

bool hasTextAndListColors(const QWidget *w)
{
    return w->palette().color(QPalette::Base) == Color1 && w->palette().color(QPalette::Text) == Color2;
}

} // namespace

Q_DECLARE_METATYPE(std::shared_ptr<QWidget>)

class tst_Skin final : public QObject {
    Q_OBJECT

private slots:
    void cleanup() { Skin::setCurrent(nullptr); }

    void colorControls_controlOfKind_takesItsColours_data();
    void colorControls_controlOfKind_takesItsColours();
    void colorControls_listTextBoxAndCheckBox_onlyListAndTextBoxRecoloured();
    void colorControls_controlInsideContainer_isReached();
    void colorControls_refusingControl_endsTheWalk();
    void colorControls_windowWithoutListedKinds_unchanged();
    void applySkin_noSkinInUse_touchesNothing();
    void applySkin_skinInUse_coloursThenSkinsWindowKeepsShapeOffWindows();
    void startAndEnd_lifeCycle_inOrder();
    void splashLoad_buildSwitch_takesSkinOnlyWhenOn();
    void helpWindow_useSkin_skinnedFirstOnlyWhenOn_data();
    void helpWindow_useSkin_skinnedFirstOnlyWhenOn();
};

void tst_Skin::colorControls_controlOfKind_takesItsColours_data()
{
    QTest::addColumn<std::shared_ptr<QWidget>>("widget");
    QTest::addColumn<QString>("change");

    auto pictureLabel = std::make_shared<QLabel>();
    QPixmap picture(4, 4);
    picture.fill(Qt::black);
    pictureLabel->setPixmap(picture);

    const auto row = [](const char *name, QWidget *w, const QString &change) {
        QTest::newRow(name) << std::shared_ptr<QWidget>(w) << change;
    };
    row("push button", new QPushButton, u"button"_s);
    row("picture button", new QToolButton, u"button"_s);
    row("check box, a button too", new QCheckBox, QString());
    row("option button", new QRadioButton, QString());
    row("text box", new QLineEdit, u"text"_s);
    row("multi-line text box", new QPlainTextEdit, u"text"_s);
    row("rich-text view", new QTextBrowser, QString());
    row("combo box", new QComboBox, u"text"_s);
    row("list", new QListWidget, u"text"_s);
    row("report list", new QTreeView, u"text"_s);
    row("label", new QLabel(u"x"_s), QString());
    QTest::newRow("label with a picture") << std::shared_ptr<QWidget>(pictureLabel) << u"picture"_s;
}

void tst_Skin::colorControls_controlOfKind_takesItsColours()
{
    QFETCH(std::shared_ptr<QWidget>, widget);
    QFETCH(QString, change);
    QWidget window;
    widget->setParent(&window);

    Skin::colorControls(&window, Color1, Color2, Color3);
    widget->setParent(nullptr);

    if (change.isEmpty()) {
        QVERIFY(untouched(widget.get()));
    } else if (change == u"button"_s) {
        QCOMPARE(widget->palette().color(QPalette::Button), Color1);
    } else if (change == u"text"_s) {
        QVERIFY(hasTextAndListColors(widget.get()));
    } else {
        QCOMPARE(widget->palette().color(QPalette::Window), Color3);
        QVERIFY(widget->autoFillBackground());
    }
}

void tst_Skin::colorControls_listTextBoxAndCheckBox_onlyListAndTextBoxRecoloured()
{
    QWidget window;
    auto *list = control<QTreeView>(&window, u"list"_s);
    auto *text = control<QLineEdit>(&window, u"text"_s);
    auto *check = control<QCheckBox>(&window, u"check"_s);
    const QPalette checkBefore = check->palette();

    Skin::colorControls(&window, Color1, Color2, Color3);

    QVERIFY(hasTextAndListColors(list));
    QVERIFY(hasTextAndListColors(text));
    QVERIFY(untouched(check));
    QCOMPARE(check->palette(), checkBefore);
    QVERIFY(untouched(&window));
}

void tst_Skin::colorControls_controlInsideContainer_isReached()
{
    QWidget window;
    auto *frame = control<QGroupBox>(&window, u"frame"_s);
    auto *inner = control<QLineEdit>(frame, u"inner"_s);
    auto *combo = control<QComboBox>(&window, u"combo"_s);
    combo->setEditable(true);
    auto *last = control<QLineEdit>(&window, u"last"_s);
    // The combo box's own text box is part of it and is never asked on its own, so it cannot end the walk.
    refuse(combo->lineEdit());

    Skin::colorControls(&window, Color1, Color2, Color3);

    QVERIFY(hasTextAndListColors(inner));
    QVERIFY(untouched(frame));
    QVERIFY(hasTextAndListColors(combo));
    QVERIFY(hasTextAndListColors(last));
}

void tst_Skin::colorControls_refusingControl_endsTheWalk()
{
    QWidget window;
    auto *first = control<QLineEdit>(&window, u"text1"_s);
    auto *refusing = control<QTreeView>(&window, u"list1"_s);
    auto *after = control<QLineEdit>(&window, u"text2"_s);
    auto *button = control<QPushButton>(&window, u"button1"_s);
    refuse(refusing);

    Skin::colorControls(&window, Color1, Color2, Color3);

    QVERIFY(hasTextAndListColors(first));
    QVERIFY(untouched(refusing));
    QVERIFY(untouched(after));
    QVERIFY(untouched(button));
}

void tst_Skin::colorControls_windowWithoutListedKinds_unchanged()
{
    QWidget window;
    auto *label = control<QLabel>(&window, u"label"_s);
    auto *check = control<QCheckBox>(&window, u"check"_s);
    auto *option = control<QRadioButton>(&window, u"option"_s);
    refuse(label); // a control whose kind takes no colour is never asked, so it cannot end the walk

    Skin::colorControls(&window, Color1, Color2, Color3);

    for (QWidget *w :
         {&window, static_cast<QWidget *>(label), static_cast<QWidget *>(check), static_cast<QWidget *>(option)}) {
        QVERIFY2(untouched(w), qPrintable(w->objectName()));
    }
}

void tst_Skin::applySkin_noSkinInUse_touchesNothing()
{
    QWidget window;
    auto *text = control<QLineEdit>(&window, u"text1"_s);
    window.setMask(QRegion(0, 0, 5, 5));

    Skin::apply(&window);

    QVERIFY(untouched(text));
    QVERIFY(untouched(&window));
    QCOMPARE(window.mask(), QRegion(0, 0, 5, 5));
}

void tst_Skin::applySkin_skinInUse_coloursThenSkinsWindowKeepsShapeOffWindows()
{
    RecordingSkin skin;
    Skin::setCurrent(&skin);
    QWidget window;
    window.setObjectName(u"testWindow"_s);
    auto *text = control<QLineEdit>(&window, u"text1"_s);
    window.setMask(QRegion(0, 0, 5, 5));

    Skin::apply(&window);

    QCOMPARE(skin.calls, (QStringList{u"colors"_s, u"skin testWindow"_s}));
    QVERIFY(hasTextAndListColors(text));
    QCOMPARE(window.mask().isEmpty(), Skin::isVistaOrLater());
}

void tst_Skin::startAndEnd_lifeCycle_inOrder()
{
    RecordingSkin skin;
    QWidget splash;
    splash.setObjectName(u"SplashScreen"_s);

    Skin::start(&splash, skin);
    QCOMPARE(Skin::current(), &skin);
    Skin::end();

    QCOMPARE(skin.calls, (QStringList{u"colors"_s, u"skin SplashScreen"_s, u"bind"_s, u"begin"_s, u"end"_s}));
}

void tst_Skin::splashLoad_buildSwitch_takesSkinOnlyWhenOn()
{
    const PublisherSettings publisher = PublisherSettings::fromBuild();
    SplashScreen splash(publisher);

#ifdef BRISVANE_USE_SKIN
    QVERIFY(publisher.useSkin);
    QCOMPARE(Skin::current(), &Skin::builtIn());
#else
    QVERIFY(!publisher.useSkin);
    QCOMPARE(Skin::current(), nullptr);
    QVERIFY(!splash.testAttribute(Qt::WA_SetPalette));
#endif
}

void tst_Skin::helpWindow_useSkin_skinnedFirstOnlyWhenOn_data()
{
    QTest::addColumn<bool>("useSkin");
    QTest::addColumn<bool>("helpFile");
    QTest::addColumn<int>("skinned");

    QTest::newRow("off") << false << true << 0;
    QTest::newRow("on") << true << true << 1;
    // The skin comes before the help text is looked at.
    QTest::newRow("on, no help file") << true << false << 1;
}

void tst_Skin::helpWindow_useSkin_skinnedFirstOnlyWhenOn()
{
    QFETCH(bool, useSkin);
    QFETCH(bool, helpFile);
    QFETCH(int, skinned);

    RecordingSkin skin;
    Skin::setCurrent(&skin);
    PublisherSettings publisher = PublisherSettings::fromBuild();
    publisher.useSkin = useSkin;
    auto text = helpFile ? std::make_unique<QTextDocument>(u"Help"_s) : nullptr;

    HelpWindow help(std::move(text), publisher);

    QCOMPARE(skin.windows.size(), skinned);
    QCOMPARE(child<QTextBrowser>(&help, u"helpView"_s)->testAttribute(Qt::WA_SetPalette), false);
    if (skinned) {
        QCOMPARE(skin.windows.first(), &help);
    }
}

QTEST_MAIN(tst_Skin)
#include "tst_Skin.moc"
