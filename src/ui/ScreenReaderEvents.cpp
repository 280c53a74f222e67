#include "ui/ScreenReaderEvents.h"

#include "ui/LineEditAccessible.h"

#include <QAbstractItemView>
#include <QAccessible>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>
#include <QStyle>

namespace {

QAccessible::UpdateHandler previousHandler = nullptr;
constexpr char ShownOnce[] = "screenReaderShownOnce";
// The object that the last focus event named. A menu's focus events are left out: when a menu closes, the
// focus goes back to where it was without a new event.
QPointer<QObject> lastFocus;

void passOn(QAccessibleEvent *event)
{
    if (previousHandler) {
        previousHandler(event);
        return;
    }
    // Qt gives an event to the platform only while no handler is installed.
    const QAccessible::UpdateHandler self = QAccessible::installUpdateHandler(nullptr);
    QAccessible::updateAccessibility(event);
    QAccessible::installUpdateHandler(self);
}

const QLineEdit *maskedBox(QObject *object)
{
    const auto *box = qobject_cast<const QLineEdit *>(object);
    return box && box->echoMode() != QLineEdit::Normal ? box : nullptr;
}

// A text event of a masked box with mask characters in place of the text, or nothing where the box shows nothing.
void passOnMasked(const QLineEdit *box, QAccessibleEvent *event)
{
    if (box->echoMode() == QLineEdit::NoEcho) {
        return;
    }
    const QChar mask(box->style()->styleHint(QStyle::SH_LineEdit_PasswordCharacter, nullptr, box));
    const auto masked = [mask](const QString &text) { return QString(text.size(), mask); };
    QObject *object = event->object();
    if (const auto *inserted = dynamic_cast<QAccessibleTextInsertEvent *>(event)) {
        QAccessibleTextInsertEvent copy(object, inserted->changePosition(), masked(inserted->textInserted()));
        copy.setCursorPosition(inserted->cursorPosition());
        passOn(&copy);
    } else if (const auto *removed = dynamic_cast<QAccessibleTextRemoveEvent *>(event)) {
        QAccessibleTextRemoveEvent copy(object, removed->changePosition(), masked(removed->textRemoved()));
        copy.setCursorPosition(removed->cursorPosition());
        passOn(&copy);
    } else if (const auto *updated = dynamic_cast<QAccessibleTextUpdateEvent *>(event)) {
        QAccessibleTextUpdateEvent copy(object, updated->changePosition(), masked(updated->textRemoved()),
                                        masked(updated->textInserted()));
        copy.setCursorPosition(updated->cursorPosition());
        passOn(&copy);
    }
}

// The cell that a list's own focus event should name: its current one.
QAccessibleInterface *currentCell(QAccessibleEvent *event)
{
    const auto *view = qobject_cast<const QAbstractItemView *>(event->object());
    if (!view || event->child() >= 0 || !view->currentIndex().isValid()) {
        return nullptr;
    }
    QAccessibleInterface *list = event->accessibleInterface();
    QAccessibleTableInterface *table = list ? list->tableInterface() : nullptr;
    const QModelIndex current = view->currentIndex();
    return table ? table->cellAt(current.row(), current.column()) : nullptr;
}

// Whether the event comes from a window that has never been shown (the main window while the password dialog
// guards it, the hidden website launcher). A reader that hears of its widgets keeps them as not visible and then
// cannot find them: Orca's status-bar command said "Status bar not found" of a status bar named before its window
// showed. A window is marked at its first show, which a change of window flags that makes it anew does not undo.
bool fromWindowNeverShown(QAccessibleEvent *event)
{
    auto *widget = qobject_cast<QWidget *>(event->object());
    if (!widget) {
        return false;
    }
    QWidget *window = widget->window();
    if (event->type() == QAccessible::ObjectShow && widget == window) {
        window->setProperty(ShownOnce, true);
    }
    return !window->property(ShownOnce).toBool();
}

void filter(QAccessibleEvent *event)
{
    QObject *object = event->object();
    if (fromWindowNeverShown(event)) {
        return;
    }
    switch (event->type()) {
    case QAccessible::TableModelChanged:
        // Qt has already brought the table's cells up to date; the accessibility bus takes nothing from this event.
        return;
    case QAccessible::TextInserted:
    case QAccessible::TextRemoved:
    case QAccessible::TextUpdated:
        if (const QLineEdit *box = maskedBox(object)) {
            passOnMasked(box, event);
            return;
        }
        break;
    case QAccessible::ValueChanged:
        if (maskedBox(object)) {
            return;
        }
        break;
    case QAccessible::TextCaretMoved:
    case QAccessible::TextSelectionChanged:
        if (const auto *widget = qobject_cast<const QWidget *>(object)) {
            // The focus event of a box that is taking the focus comes after its first caret move.
            if (widget->hasFocus() && object != lastFocus) {
                return;
            }
            // A box that loses the focus lets go of its selection, or a password box behind a message box takes
            // one: a reader would say "Text unselected." or "selected" of a box the user has left.
            if (!widget->hasFocus() && event->type() == QAccessible::TextSelectionChanged) {
                return;
            }
        }
        break;
    case QAccessible::Focus:
        // A list's current row changes also while the list does not have the focus (a row deleted from another
        // window): Qt reports the new current row as focused all the same, and a reader would go there.
        if (const auto *view = qobject_cast<const QAbstractItemView *>(object); view && !view->hasFocus()) {
            return;
        }
        if (!qobject_cast<QMenu *>(object) && !qobject_cast<QMenuBar *>(object)) {
            lastFocus = object;
        }
        if (QAccessibleInterface *cell = currentCell(event)) {
            QAccessibleEvent cellFocus(cell, QAccessible::Focus);
            passOn(&cellFocus);
            return;
        }
        break;
    default:
        break;
    }
    passOn(event);
}

} // namespace

namespace ScreenReaderEvents {

void install()
{
    static const bool installed = [] {
        LineEditAccessible::install();
        previousHandler = QAccessible::installUpdateHandler(filter);
        return true;
    }();
    Q_UNUSED(installed);
}

} // namespace ScreenReaderEvents
