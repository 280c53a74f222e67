#include "ui/DocumentView.h"

#include <QAccessibleWidget>

#include <algorithm>

namespace {

class DocumentAccessible final : public QAccessibleWidget, public QAccessibleTextInterface {
public:
    explicit DocumentAccessible(DocumentView *view) : QAccessibleWidget(view, QAccessible::Document) {}

    // The widget's name and description, beside the text interface's text(start, end) below.
    using QAccessibleWidget::text;

    void *interface_cast(QAccessible::InterfaceType type) override
    {
        return type == QAccessible::TextInterface ? static_cast<QAccessibleTextInterface *>(this)
                                                  : QAccessibleWidget::interface_cast(type);
    }

    QAccessible::State state() const override
    {
        QAccessible::State state = QAccessibleWidget::state();
        state.readOnly = true;
        state.multiLine = true;
        state.selectableText = true;
        return state;
    }

    void selection(int index, int *start, int *end) const override
    {
        const QTextCursor cursor = view()->textCursor();
        *start = index == 0 && cursor.hasSelection() ? cursor.selectionStart() : 0;
        *end = index == 0 && cursor.hasSelection() ? cursor.selectionEnd() : 0;
    }
    int selectionCount() const override { return view()->textCursor().hasSelection() ? 1 : 0; }
    void addSelection(int start, int end) override { setSelection(0, start, end); }
    void removeSelection(int) override
    {
        QTextCursor cursor = view()->textCursor();
        cursor.clearSelection();
        view()->setTextCursor(cursor);
    }
    void setSelection(int, int start, int end) override
    {
        QTextCursor cursor = cursorAt(start);
        cursor.setPosition(bounded(end), QTextCursor::KeepAnchor);
        view()->setTextCursor(cursor);
    }

    int cursorPosition() const override { return view()->textCursor().position(); }
    void setCursorPosition(int position) override { view()->setTextCursor(cursorAt(position)); }

    QString text(int start, int end) const override
    {
        QTextCursor cursor = cursorAt(start);
        cursor.setPosition(bounded(end), QTextCursor::KeepAnchor);
        return cursor.selectedText().replace(QChar::ParagraphSeparator, u'\n').replace(QChar::LineSeparator, u'\n');
    }
    int characterCount() const override { return view()->document()->characterCount() - 1; }

    QRect characterRect(int offset) const override
    {
        QRect rect = view()->cursorRect(cursorAt(offset));
        const QString character = text(offset, offset + 1);
        rect.setWidth(character.isEmpty() ? 1 : view()->fontMetrics().horizontalAdvance(character));
        return QRect(view()->viewport()->mapToGlobal(rect.topLeft()), rect.size());
    }
    int offsetAtPoint(const QPoint &point) const override
    {
        return view()->cursorForPosition(view()->viewport()->mapFromGlobal(point)).position();
    }
    void scrollToSubstring(int start, int) override
    {
        const QTextCursor keep = view()->textCursor();
        view()->setTextCursor(cursorAt(start));
        view()->ensureCursorVisible();
        view()->setTextCursor(keep);
    }
    QString attributes(int offset, int *start, int *end) const override
    {
        *start = *end = offset;
        return QString();
    }

private:
    DocumentView *view() const { return static_cast<DocumentView *>(widget()); }
    int bounded(int position) const { return std::clamp(position, 0, characterCount()); }
    QTextCursor cursorAt(int position) const
    {
        QTextCursor cursor(view()->document());
        cursor.setPosition(bounded(position));
        return cursor;
    }
};

QAccessibleInterface *accessibleFactory(const QString &className, QObject *object)
{
    if (className == QLatin1StringView(DocumentView::staticMetaObject.className()) && object &&
        object->isWidgetType()) {
        return new DocumentAccessible(static_cast<DocumentView *>(object));
    }
    return nullptr;
}

} // namespace

DocumentView::DocumentView(QWidget *parent) : QTextBrowser(parent)
{
    static const bool factoryInstalled = [] {
        QAccessible::installFactory(accessibleFactory);
        return true;
    }();
    Q_UNUSED(factoryInstalled);
    // The text box underneath may have told the bus of itself while it was being made; from now on the view is a
    // document.
    if (QAccessibleInterface *made = QAccessible::queryAccessibleInterface(this);
        made && made->role() != QAccessible::Document) {
        QAccessible::deleteAccessibleInterface(QAccessible::uniqueId(made));
    }
}

DocumentView::~DocumentView() = default;
