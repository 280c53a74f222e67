#pragma once

class QWidget;

// Escape in the program's windows. None of them has a Cancel key: a dialog would otherwise close on Escape, and a
// window ends only through its own buttons and its close box.
namespace EscapeKey {

// Escape, wherever it is pressed inside the window, does nothing.
void doesNothingIn(QWidget *window);

} // namespace EscapeKey
