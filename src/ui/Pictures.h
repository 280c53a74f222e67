#pragma once

#include <QPixmap>
#include <QString>

namespace Pictures {

// The picture with as many pixels as the screen shows to a point: where that is more than one, Qt takes
// "name@2x.png" beside "name.png". Its size in points is always the plain picture's.
QPixmap forScreen(const QString &path);

} // namespace Pictures
