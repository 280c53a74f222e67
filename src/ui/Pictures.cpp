#include "ui/Pictures.h"

#include <QGuiApplication>
#include <QIcon>

namespace Pictures {

QPixmap forScreen(const QString &path)
{
    const QPixmap plain(path);
    const qreal ratio = qGuiApp->devicePixelRatio();
    if (plain.isNull() || ratio <= 1) {
        return plain;
    }
    return QIcon(path).pixmap(plain.size(), ratio);
}

} // namespace Pictures
