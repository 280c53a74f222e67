#include "windows/modIcon.h"

#include <QApplication>
#include <QWidget>

using namespace Qt::StringLiterals;

namespace modIcon {

QIcon ProgramIcon(const QString &resourceName)
{
    QIcon icon;
    for (const int size : {16, 32, 48, 64, 128}) {
        icon.addFile(u":/icons/%1-%2.png"_s.arg(resourceName).arg(size), QSize(size, size));
    }
    return icon;
}

void SetWindowIcon(QWidget *window, const QString &resourceName, bool alsoApplication)
{
    const QIcon icon = ProgramIcon(resourceName);
    if (alsoApplication) {
        QApplication::setWindowIcon(icon);
    }
    if (window) {
        window->setWindowIcon(icon);
    }
}

} // namespace modIcon
