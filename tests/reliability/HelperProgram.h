#pragma once

#include <QCoreApplication>
#include <QFileInfo>
#include <QString>

// The helper programs of tests/tools are built into the same folder as the test programs.
inline QString helperProgram(const QString &name)
{
    const QString path = QCoreApplication::applicationDirPath() + u'/' + name;
    return QFileInfo(path).isExecutable() ? path : QString();
}
