#include "ui/Skin.h"

#include "ui/SkinService.h"

#include <QAbstractItemView>
#include <QAbstractSlider>
#include <QAbstractSpinBox>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMenu>
#include <QMenuBar>
#include <QOperatingSystemVersion>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QTabBar>
#include <QTextBrowser>

#include <initializer_list>
#include <utility>

using namespace Qt::StringLiterals;

namespace Skin {

namespace {

SkinService *currentSkin = nullptr;

bool refusesColor(const QWidget *widget)
{
    return widget->property(RefusesColorProperty).toBool();
}

void setColors(QWidget *widget, std::initializer_list<std::pair<QPalette::ColorRole, QColor>> colors)
{
    QPalette palette = widget->palette();
    for (const auto &[role, color] : colors) {
        palette.setColor(role, color);
    }
    widget->setPalette(palette);
}

// Controls are leaves of the walk: their inner widgets (a combo box's list, a list's scroll bars, a text box's
// clear button) belong to them and are never coloured on their own. Containers are walked through.
bool isContainer(const QWidget *widget, const QString &kind)
{
    if (qobject_cast<const QTabBar *>(widget) || qobject_cast<const QAbstractSlider *>(widget)) {
        return false;
    }
    return kind.isEmpty() || kind == u"Frame"_s || kind == u"PictureBox"_s || kind == u"Label"_s;
}

// Colours one control by its kind; false when it refused, which ends the walk.
bool colorControl(QWidget *widget, const QString &kind, const QColor &color1, const QColor &color2,
                  const QColor &color3)
{
    static const QStringList textAndLists{u"TextBox"_s, u"ComboBox"_s, u"ListBox"_s, u"ListView"_s};
    const bool isButton = kind == u"CommandButton"_s;
    const bool isTextOrList = textAndLists.contains(kind);
    const bool isPicture = kind == u"PictureBox"_s;
    if (!isButton && !isTextOrList && !isPicture) {
        return true;
    }
    if (refusesColor(widget)) {
        return false;
    }
    if (isButton) {
        setColors(widget, {{QPalette::Button, color1}});
    } else if (isTextOrList) {
        // A combo box that cannot be typed in paints its face with the button colours.
        setColors(widget, {{QPalette::Base, color1},
                           {QPalette::Button, color1},
                           {QPalette::Text, color2},
                           {QPalette::ButtonText, color2}});
    } else {
        setColors(widget, {{QPalette::Window, color3}});
        widget->setAutoFillBackground(true);
    }
    return true;
}

bool colorChildren(QWidget *parent, const QColor &color1, const QColor &color2, const QColor &color3)
{
    for (QObject *child : parent->children()) {
        auto *widget = qobject_cast<QWidget *>(child);
        if (!widget || widget->isWindow()) {
            continue;
        }
        const QString kind = kindName(widget);
        if (!colorControl(widget, kind, color1, color2, color3)) {
            return false;
        }
        if (isContainer(widget, kind) && !colorChildren(widget, color1, color2, color3)) {
            return false;
        }
    }
    return true;
}

} // namespace

SkinService &builtIn()
{
    static SkinService skin;
    return skin;
}

SkinService *current()
{
    return currentSkin;
}

void setCurrent(SkinService *skin)
{
    currentSkin = skin;
}

void start(QWidget *splash, SkinService &skin)
{
    setCurrent(&skin);
    apply(splash);
    skin.bind();
    skin.begin();
}

void end()
{
    if (SkinService *skin = current()) {
        skin->end();
    }
}

void apply(QWidget *window)
{
    SkinService *skin = current();
    if (!skin || !window) {
        return;
    }
    const SkinService::Colors colors = skin->colors();
    colorControls(window, colors.color1, colors.color2, colors.color3);
    // A skin is in use only while useSkin is on, so only the system decides here.
    if (isVistaOrLater()) {
        resetWindowRegion(window);
    }
    skin->skinWindow(window);
}

QString kindName(const QWidget *widget)
{
    if (!widget) {
        return {};
    }
    if (qobject_cast<const QMenuBar *>(widget) || qobject_cast<const QMenu *>(widget)) {
        return u"Menu"_s;
    }
    if (qobject_cast<const QCheckBox *>(widget)) {
        return u"CheckBox"_s;
    }
    if (qobject_cast<const QRadioButton *>(widget)) {
        return u"OptionButton"_s;
    }
    if (qobject_cast<const QAbstractButton *>(widget)) {
        return u"CommandButton"_s;
    }
    // A rich-text view is no text box: it keeps the colours of the document it shows.
    if (qobject_cast<const QTextBrowser *>(widget)) {
        return u"RichTextBox"_s;
    }
    if (qobject_cast<const QLineEdit *>(widget) || qobject_cast<const QTextEdit *>(widget) ||
        qobject_cast<const QPlainTextEdit *>(widget) || qobject_cast<const QAbstractSpinBox *>(widget)) {
        return u"TextBox"_s;
    }
    if (qobject_cast<const QComboBox *>(widget)) {
        return u"ComboBox"_s;
    }
    if (qobject_cast<const QListView *>(widget)) {
        return u"ListBox"_s;
    }
    if (qobject_cast<const QAbstractItemView *>(widget)) {
        return u"ListView"_s;
    }
    if (const auto *label = qobject_cast<const QLabel *>(widget)) {
        return label->pixmap().isNull() ? u"Label"_s : u"PictureBox"_s;
    }
    if (qobject_cast<const QGroupBox *>(widget)) {
        return u"Frame"_s;
    }
    return {};
}

void colorControls(QWidget *window, const QColor &color1, const QColor &color2, const QColor &color3)
{
    if (window) {
        colorChildren(window, color1, color2, color3);
    }
}

void resetWindowRegion(QWidget *window)
{
    if (window) {
        window->clearMask();
        window->update();
    }
}

bool isVistaOrLater()
{
    // Only Windows reshapes skinned windows; Vista is version 6.0.
    const QOperatingSystemVersion system = QOperatingSystemVersion::current();
    return system.type() == QOperatingSystemVersion::Windows && system.majorVersion() >= 6;
}

} // namespace Skin
