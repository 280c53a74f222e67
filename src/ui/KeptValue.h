#pragma once

#include <QRect>
#include <QString>

class QLineEdit;
class QWidget;

// A value too long to edit in a one-line box. Laying out millions of characters in a line edit stalls the window
// at every keystroke, and at tens of millions for seconds and gigabytes, so such a box shows only the value's start,
// read-only, and holds on to the whole value: whatever the dialog hands on for that box is the value exactly as it came
// in.
namespace KeptValue {

// The longest value a box still lets the user edit. A keystroke lays the whole line out again, so its cost grows
// with the length: bench_typing measures it, and near this length it passes about 100 ms on a two-core machine
// with the accessibility bus on (about 75 ms without it).
inline constexpr qsizetype EditableLength = 700'000;

// Puts `value` in `box`: as its text when it is short enough to edit, else kept as described above. Returns
// whether the value was kept.
bool put(QLineEdit *box, const QString &value);

// What the box stands for: the kept value, or the box's own text.
QString textOf(const QLineEdit *box);

// Shows on `dialog`, within `geometry`, why the named fields ("password", ...) cannot be edited; nothing when
// there are none. The kept boxes say the same to a screen reader and in their tooltips.
void explain(QWidget *dialog, const QStringList &fieldNames, QRect geometry);

} // namespace KeptValue
