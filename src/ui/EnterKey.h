#pragma once

class QAbstractButton;
class QLineEdit;

// Enter (Return or the keypad's Enter) in the program's windows. No window has a default button: the key acts only
// on the control that has the focus, and once per stroke, however long it is held.
namespace EnterKey {

// Enter presses the button while it has the focus, as Space does. A press opens or closes windows at once, so the
// key's repeats and its release, which may reach another window's control, press nothing.
void pressesButton(QAbstractButton *button);

// The box's Enter (its returnPressed) runs once per stroke: the key's repeats are dropped.
void actsOncePerStroke(QLineEdit *box);

} // namespace EnterKey
