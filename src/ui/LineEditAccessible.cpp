#include "ui/LineEditAccessible.h"

#include "ui/AccessibleFactory.h"

#include <QAccessibleWidget>
#include <QLineEdit>
#include <QStyle>

using namespace Qt::StringLiterals;

namespace {

class BoxAccessible final : public QAccessibleWidget,
                            public QAccessibleTextInterface,
                            public QAccessibleEditableTextInterface {
public:
    explicit BoxAccessible(QLineEdit *box) : QAccessibleWidget(box, QAccessible::EditableText) {}

    // As Qt's own: a spin box's box is part of the spin box.
    static bool accepts(const QLineEdit *box) { return box->objectName() != "qt_spinbox_lineedit"_L1; }

    void *interface_cast(QAccessible::InterfaceType type) override
    {
        switch (type) {
        case QAccessible::TextInterface:
            return static_cast<QAccessibleTextInterface *>(this);
        case QAccessible::EditableTextInterface:
            return static_cast<QAccessibleEditableTextInterface *>(this);
        default:
            return QAccessibleWidget::interface_cast(type);
        }
    }

    QAccessible::State state() const override
    {
        QAccessible::State state = QAccessibleWidget::state();
        if (box()->isReadOnly()) {
            state.readOnly = true;
        } else {
            state.editable = true;
        }
        state.passwordEdit = masked();
        state.selectableText = true;
        return state;
    }

    // The name and description as for any widget; the value is the text, or a mask character for each character.
    QString text(QAccessible::Text t) const override
    {
        QString out;
        if (t == QAccessible::Value && box()->echoMode() != QLineEdit::NoEcho) {
            const QChar mask(box()->style()->styleHint(QStyle::SH_LineEdit_PasswordCharacter, nullptr, box()));
            out = masked() ? QString(box()->text().size(), mask) : box()->text();
        }
        if (out.isEmpty()) {
            out = QAccessibleWidget::text(t);
        }
        if (out.isEmpty() && t == QAccessible::Description) {
            out = box()->placeholderText();
        }
        return out;
    }
    void setText(QAccessible::Text t, const QString &text) override
    {
        if (t == QAccessible::Value) {
            box()->setText(text);
        } else {
            QAccessibleWidget::setText(t, text);
        }
    }

    // QAccessibleTextInterface
    QString text(int start, int end) const override
    {
        return masked() || start > end ? QString() : box()->text().mid(start, end - start);
    }
    int characterCount() const override { return int(box()->text().size()); }
    QString attributes(int offset, int *start, int *end) const override
    {
        offset = resolved(offset);
        const bool inside = offset >= 0 && offset <= characterCount();
        *start = inside ? 0 : -1;
        *end = inside ? characterCount() : -1;
        return QString();
    }
    QString textBeforeOffset(int offset, QAccessible::TextBoundaryType type, int *start, int *end) const override
    {
        return masked() ? nothing(start, end)
                        : QAccessibleTextInterface::textBeforeOffset(resolved(offset), type, start, end);
    }
    QString textAtOffset(int offset, QAccessible::TextBoundaryType type, int *start, int *end) const override
    {
        return masked() ? nothing(start, end)
                        : QAccessibleTextInterface::textAtOffset(resolved(offset), type, start, end);
    }
    QString textAfterOffset(int offset, QAccessible::TextBoundaryType type, int *start, int *end) const override
    {
        return masked() ? nothing(start, end)
                        : QAccessibleTextInterface::textAfterOffset(resolved(offset), type, start, end);
    }

    int cursorPosition() const override { return box()->cursorPosition(); }
    void setCursorPosition(int position) override { box()->setCursorPosition(position); }
    void scrollToSubstring(int start, int) override { box()->setCursorPosition(start); }

    void selection(int index, int *start, int *end) const override
    {
        const bool any = index == 0 && box()->hasSelectedText();
        *start = any ? box()->selectionStart() : -1;
        *end = any ? box()->selectionEnd() : -1;
    }
    int selectionCount() const override { return box()->hasSelectedText() ? 1 : 0; }
    void addSelection(int start, int end) override { setSelection(0, start, end); }
    void removeSelection(int index) override
    {
        if (index == 0) {
            box()->deselect();
        }
    }
    void setSelection(int index, int start, int end) override
    {
        if (index == 0) {
            box()->setSelection(start, end - start);
        }
    }

    // Measured from the caret, which the box places: a character stands where the caret would before it.
    QRect characterRect(int offset) const override
    {
        const QString shown = box()->displayText();
        if (offset < 0 || offset > shown.size()) {
            return QRect();
        }
        const QFontMetrics metrics = box()->fontMetrics();
        const QRect caret = box()->inputMethodQuery(Qt::ImCursorRectangle).toRect();
        const int x = caret.x() + metrics.horizontalAdvance(shown.left(offset)) -
                      metrics.horizontalAdvance(shown.left(box()->cursorPosition()));
        const int width = offset < shown.size() ? metrics.horizontalAdvance(shown.at(offset)) : 1;
        return QRect(box()->mapToGlobal(QPoint(x, caret.y())), QSize(width, caret.height()));
    }
    int offsetAtPoint(const QPoint &point) const override
    {
        return box()->cursorPositionAt(box()->mapFromGlobal(point));
    }

    // QAccessibleEditableTextInterface
    void deleteText(int start, int end) override { box()->setText(box()->text().remove(start, end - start)); }
    void insertText(int offset, const QString &text) override { box()->setText(box()->text().insert(offset, text)); }
    void replaceText(int start, int end, const QString &text) override
    {
        box()->setText(box()->text().replace(start, end - start, text));
    }

private:
    QLineEdit *box() const { return static_cast<QLineEdit *>(widget()); }
    bool masked() const { return box()->echoMode() != QLineEdit::Normal; }
    // -2 stands for the cursor and -1 for the end of the text.
    int resolved(int offset) const
    {
        return offset == -2 ? cursorPosition() : offset == -1 ? characterCount() : offset;
    }
    static QString nothing(int *start, int *end)
    {
        *start = *end = -1;
        return QString();
    }
};

} // namespace

namespace LineEditAccessible {

void install()
{
    AccessibleFactory::install<QLineEdit, BoxAccessible>();
}

} // namespace LineEditAccessible
