#pragma once

#include <QRect>
#include <QString>

class QLineEdit;
class QWidget;

// A value too long to edit in a one-line box. Laying out millions of characters in a line edit stalls the window
// for seconds and takes gigabytes, so such a box shows only the value's start, read-only, and holds on to the whole
// value: whatever the dialog hands on for that box is the value exactly as it came in.
namespace KeptValue {

// The longest value a box still lets the user edit: a line edit's own default limit.
inline constexpr qsizetype EditableLength = 32767;

// Puts `value` in `box`: as its text when it is short enough to edit, else kept as described above. Returns
// whether the value was kept.
bool put(QLineEdit *box, const QString &value);

// What the box stands for: the kept value, or the box's own text.
QString textOf(const QLineEdit *box);

// Shows on `dialog`, within `geometry`, why the named fields ("password", ...) cannot be edited; nothing when
// there are none. The kept boxes say the same to a screen reader and in their tooltips.
void explain(QWidget *dialog, const QStringList &fieldNames, QRect geometry);

} // namespace KeptValue
