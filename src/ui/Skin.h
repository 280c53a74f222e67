#pragma once

#include <QColor>
#include <QString>

class QWidget;
class SkinService;

// Skinning of the program's windows: when a window is skinned and how its controls are coloured. The skin itself,
// its colours and its window look, is a SkinService, kept apart so that tests can hand in one that records what it
// is asked. Every call site runs only when PublisherSettings::useSkin is on, which only a
// build with BRISVANE_USE_SKIN makes it; otherwise no skin exists and nothing here is ever reached.
namespace Skin {

// A widget with this property set to true refuses every colour, as a control of the window system sometimes does;
// tests use it to check that the colouring walk stops there.
inline constexpr char RefusesColorProperty[] = "skinRefuses";

// The skin that the splash window takes for the whole run, created on first use and never released.
SkinService &builtIn();

// The skin in use: none until the splash window takes one (or a test installs its own, which it must remove).
SkinService *current();
void setCurrent(SkinService *skin);

// Splash load: take the skin for the run, skin the splash window, then bind and begin the skin.
void start(QWidget *splash, SkinService &skin = builtIn());
// Main window unload: end the skin.
void end();

// Skins the window: the skin's colours onto its standard controls, then the skin's own look. Does nothing while no
// skin is in use. A step that fails is skipped and the next one runs.
void apply(QWidget *window);

// The kind of control the widget is, by the names the colouring rules use: "CommandButton", "TextBox",
// "ComboBox", "ListBox", "ListView", "PictureBox", "Label", "CheckBox", "OptionButton", "RichTextBox",
// "Menu", "Frame"; an empty text for any other widget.
QString kindName(const QWidget *widget);

// Walks the window's controls in the window's order: buttons take colour 1 as background; text boxes, combo boxes
// and lists take colour 1 as background and colour 2 as text; pictures take colour 3 as background; the rest stay
// as they are. The walk ends at the first control that refuses its colour.
void colorControls(QWidget *window, const QColor &color1, const QColor &color2, const QColor &color3);

// Gives the window a plain rectangular shape again: a window shape that an earlier skin left is removed.
void resetWindowRegion(QWidget *window);

// Whether the system is Windows of major version 6 (Vista) or later, the only systems where skinning reshapes the
// window; false on every other system, Linux included.
bool isVistaOrLater();

} // namespace Skin
