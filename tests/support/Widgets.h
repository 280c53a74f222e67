#pragma once

#include <QObject>
#include <QString>

#include <cstdio>
#include <cstdlib>

// A window's control by its object name, as a test reaches it from outside: the windows keep their controls to
// themselves. A missing control ends the test program, naming it.
template <class T> T *child(const QObject *window, const QString &name)
{
    T *found = window ? window->findChild<T *>(name) : nullptr;
    if (!found) {
        std::fprintf(stderr, "no control named %s\n", qPrintable(name));
        std::abort();
    }
    return found;
}
