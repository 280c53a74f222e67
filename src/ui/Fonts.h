#pragma once

#include <QFont>

namespace Fonts {

// The program's typeface, asked for by name: where it is missing, the system's substitute serves.
inline QFont verdana(qreal points, bool bold = false)
{
    QFont font(QStringLiteral("Verdana"));
    font.setPointSizeF(points);
    font.setBold(bold);
    return font;
}

} // namespace Fonts
