#pragma once

#include <QString>

#include <cstring>

// A system error as the program's messages show it: the number as well as the words, since the words alone are
// often too vague to look the cause up.
inline QString systemErrorText(int error)
{
    return QStringLiteral("error %1: %2").arg(error).arg(QString::fromLocal8Bit(std::strerror(error)));
}
