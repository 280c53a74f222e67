#include "ui/DocumentView.h"

#include "ui/AccessibleFactory.h"

#include <QAccessibleWidget>
#include <QTextBlock>
#include <QTextLayout>

#include <algorithm>
#include <tuple>
#include <utility>

using namespace Qt::StringLiterals;

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
    // A run of characters in one format: the fragment of its paragraph that holds the offset, or the paragraph's end
    // alone. Each character lies in a run that holds at least that character; a reader that is given an empty run
    // leaves the character out ("Brisvane Hel").
    QString attributes(int offset, int *start, int *end) const override
    {
        const int count = characterCount();
        offset = resolved(offset);
        if (offset == count) {
            offset = count - 1;
        }
        if (offset < 0 || offset >= count) {
            *start = *end = count == 0 ? 0 : -1;
            return QString();
        }
        const QTextBlock block = view()->document()->findBlock(offset);
        QTextCharFormat format = block.charFormat();
        *start = offset;
        *end = offset + 1;
        for (QTextBlock::iterator it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            if (fragment.contains(offset)) {
                format = fragment.charFormat();
                *start = fragment.position();
                *end = std::min(fragment.position() + fragment.length(), count);
                break;
            }
        }
        return described(format);
    }

    // Lines are the visual lines of the layout, so that Down reads each once; other units are the plain text's.
    QString textAtOffset(int offset, QAccessible::TextBoundaryType type, int *start, int *end) const override
    {
        offset = resolved(offset);
        if (type != QAccessible::LineBoundary) {
            return QAccessibleTextInterface::textAtOffset(offset, type, start, end);
        }
        return lineText(offset < 0 || offset > characterCount() ? Nowhere : lineAt(offset), start, end);
    }
    QString textBeforeOffset(int offset, QAccessible::TextBoundaryType type, int *start, int *end) const override
    {
        offset = resolved(offset);
        if (type != QAccessible::LineBoundary) {
            return QAccessibleTextInterface::textBeforeOffset(offset, type, start, end);
        }
        const Line here = offset < 0 || offset > characterCount() ? Nowhere : lineAt(offset);
        return lineText(here.first > 0 ? lineAt(here.first - 1) : Nowhere, start, end);
    }
    QString textAfterOffset(int offset, QAccessible::TextBoundaryType type, int *start, int *end) const override
    {
        offset = resolved(offset);
        if (type != QAccessible::LineBoundary) {
            return QAccessibleTextInterface::textAfterOffset(offset, type, start, end);
        }
        const Line here = offset < 0 || offset > characterCount() ? Nowhere : lineAt(offset);
        return lineText(here.first >= 0 && here.second < characterCount() ? lineAt(here.second) : Nowhere, start, end);
    }

private:
    // From the first offset of a line to the first one after it; the last line of a paragraph holds its end.
    using Line = std::pair<int, int>;
    static constexpr Line Nowhere{-1, -1};

    // The visual line that holds the offset; a paragraph that is not laid out yet counts as one line.
    Line lineAt(int offset) const
    {
        const QTextBlock block = view()->document()->findBlock(offset);
        const int blockStart = block.position();
        const int blockEnd = std::min(blockStart + block.length(), characterCount());
        const QTextLayout *layout = block.layout();
        const QTextLine line = layout ? layout->lineForTextPosition(offset - blockStart) : QTextLine();
        if (!line.isValid()) {
            return {blockStart, blockEnd};
        }
        const bool last = line.lineNumber() + 1 == layout->lineCount();
        return {blockStart + line.textStart(), last ? blockEnd : blockStart + line.textStart() + line.textLength()};
    }
    QString lineText(Line line, int *start, int *end) const
    {
        std::tie(*start, *end) = line;
        return line == Nowhere ? QString() : text(line.first, line.second);
    }
    // -2 stands for the cursor and -1 for the end of the text.
    int resolved(int offset) const
    {
        return offset == -2 ? cursorPosition() : offset == -1 ? characterCount() : offset;
    }
    // Attributes as screen readers know them (IAccessible2's names, which Qt passes on in AT-SPI's).
    static QString described(const QTextCharFormat &format)
    {
        QString out;
        if (format.fontPointSize() > 0) {
            out += u"font-size:%1pt;"_s.arg(qRound(format.fontPointSize()));
        }
        if (format.font().bold()) {
            out += u"font-weight:bold;"_s;
        }
        if (format.font().italic()) {
            out += u"font-style:italic;"_s;
        }
        if (format.foreground().style() == Qt::SolidPattern) {
            const QColor c = format.foreground().color();
            out += u"color:rgb(%1,%2,%3);"_s.arg(c.red()).arg(c.green()).arg(c.blue());
        }
        return out;
    }

    DocumentView *view() const { return static_cast<DocumentView *>(widget()); }
    int bounded(int position) const { return std::clamp(position, 0, characterCount()); }
    QTextCursor cursorAt(int position) const
    {
        QTextCursor cursor(view()->document());
        cursor.setPosition(bounded(position));
        return cursor;
    }
};

} // namespace

DocumentView::DocumentView(QWidget *parent) : QTextBrowser(parent)
{
    AccessibleFactory::install<DocumentView, DocumentAccessible>();
    // The text box underneath may have told the bus of itself while it was being made; from now on the view is a
    // document.
    if (QAccessibleInterface *made = QAccessible::queryAccessibleInterface(this);
        made && made->role() != QAccessible::Document) {
        QAccessible::deleteAccessibleInterface(QAccessible::uniqueId(made));
    }
}

DocumentView::~DocumentView() = default;
