#pragma once

#include <QIcon>
#include <QString>

class QWidget;

namespace ProgramIcon {

// The icon resource of the given name in every size it was drawn in (16 to 128 pixels).
QIcon fromResource(const QString &resourceName);

// Gives the window the named icon in the sizes the desktop uses; with alsoApplication, the whole program too
// (taskbar, task switcher, and every window that has none of its own).
void applyTo(QWidget *window, const QString &resourceName, bool alsoApplication);

} // namespace ProgramIcon
