#pragma once

#include <QAbstractItemView>
#include <QEvent>
#include <QItemSelectionModel>
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

// Selects exactly these rows of a list (from 0), as clicks with Ctrl would, the last one current; none clears it.
inline void selectRows(QAbstractItemView *list, const QList<int> &rows)
{
    list->selectionModel()->clearSelection();
    for (int row : rows) {
        const QModelIndex index = list->model()->index(row, 0);
        list->selectionModel()->select(index, QItemSelectionModel::Select | QItemSelectionModel::Rows);
        list->selectionModel()->setCurrentIndex(index, QItemSelectionModel::NoUpdate);
    }
}

// Counts the events of one type that reach an object, from its making on.
class EventCount final : public QObject {
public:
    EventCount(QObject *watched, QEvent::Type type) : type_(type) { watched->installEventFilter(this); }
    int count = 0;

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        count += event->type() == type_ ? 1 : 0;
        return false;
    }

private:
    QEvent::Type type_;
};
