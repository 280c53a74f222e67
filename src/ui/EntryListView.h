#pragma once

#include <QTreeView>

class EntryListModel;

// The entry list on the main window: three columns in report style, whole-row selection, several rows may be
// selected. A click on a header asks for a sort by that column (columnClicked()), and so do Ctrl+1, Ctrl+2 and Ctrl+3
// in the list for the first, second and third column; the view sorts nothing itself. It makes no widget or item
// object per row, so a vault of a million entries scrolls as lightly as one of ten.
class EntryListView final : public QTreeView {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(EntryListView)

public:
    explicit EntryListView(QWidget *parent = nullptr);
    ~EntryListView() override;

    // The entries to show. The view's own model stands in front of them, row for row, and adds what a screen reader
    // is told of a row beside its fields: the current row says when it is not selected, as the commands on the
    // selected entry will refuse it. Which rows are selected is the view's to know, not the entries'.
    void setEntryModel(EntryListModel *model);

    // The number (from 0) of the first row in display order whose selected flag is set, or -1 when none is.
    qsizetype firstSelectedRow() const;

protected:
    // A cell's tooltip shows its text as typed: a password such as "<b>x" is no markup.
    bool viewportEvent(QEvent *event) override;
    // The list has no copy key: Qt's view would copy the current cell's shown text, cut to the cell's bound and
    // without the secret mark. Copying is the Copy commands' job.
    void keyPressEvent(QKeyEvent *event) override;

signals:
    // A column's header was clicked, or its sort key pressed (0 for the first column).
    void columnClicked(int column);

private:
    class DescribedRows;

    // A screen reader keeps what it was told of a cell: a row whose description changed says so.
    void describeAnew(int row);

    DescribedRows *rows_ = nullptr;
};
