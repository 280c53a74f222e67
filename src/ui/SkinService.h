#pragma once

#include <QColor>
#include <QtGlobal>

class QWidget;

// The skin itself, apart from the rules of Skin.h that decide when and where it is applied: the skin every window
// takes when the program is built with BRISVANE_USE_SKIN: three colours for the standard
// controls and a look for the window itself. One exists for the whole run (Skin::builtIn); tests hand
// Skin a subclass that records what it was asked.
class SkinService {
public:
    SkinService() = default;
    virtual ~SkinService();
    Q_DISABLE_COPY_MOVE(SkinService)

    struct Colors {
        QColor color1; // background of buttons, text boxes and lists
        QColor color2; // text of text boxes and lists
        QColor color3; // background of pictures
    };

    // Read anew each time a window is skinned.
    virtual Colors colors() const;

    // Gives the window itself the skin's look; its controls are recoloured separately (Skin::colorControls).
    virtual void skinWindow(QWidget *window);

    // Ties the skin to the program and starts and stops its drawing. Our skin draws through the widgets' own
    // palettes, so it has nothing to tie or start; the calls stay so that the start-up and shutdown order holds.
    virtual void bind() {}
    virtual void begin() {}
    virtual void end() {}
};
