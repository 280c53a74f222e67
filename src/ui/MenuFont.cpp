#include "ui/MenuFont.h"

#include <QApplication>
#include <QMenu>
#include <QMenuBar>

namespace MenuFont {

void useDesktopFont(QMenuBar *bar)
{
    const QFont font = QApplication::font("QMenu");
    bar->setFont(font);
    for (const QAction *action : bar->actions()) {
        if (QMenu *menu = action->menu()) {
            menu->setFont(font);
        }
    }
}

} // namespace MenuFont
