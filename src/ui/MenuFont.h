#pragma once

class QMenuBar;

namespace MenuFont {

// Gives the bar and every menu it holds the desktop's menu font, as the desktop's own menus show it. Left alone,
// the bar would take its window's font and its menus, windows of their own, the desktop's: two fonts in one menu.
void useDesktopFont(QMenuBar *bar);

} // namespace MenuFont
