#include "ui/ProgramIcon.h"

#include <QApplication>
#include <QWidget>

using namespace Qt::StringLiterals;

namespace ProgramIcon {

QIcon fromResource(const QString &resourceName)
{
    QIcon icon;
    for (const int size : {16, 32, 48, 64, 128, 256}) {
        icon.addFile(u":/icons/%1-%2.png"_s.arg(resourceName).arg(size), QSize(size, size));
    }
    return icon;
}

void applyTo(QWidget *window, const QString &resourceName, bool alsoApplication)
{
    const QIcon icon = fromResource(resourceName);
    if (alsoApplication) {
        QApplication::setWindowIcon(icon);
    }
    if (window) {
        window->setWindowIcon(icon);
    }
}

} // namespace ProgramIcon
