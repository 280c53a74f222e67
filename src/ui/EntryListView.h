#pragma once

#include <QTreeView>

class EntryListModel;

// The entry list on the main window: three columns in report style, whole-row selection, several rows may be
// selected. A click on a header sorts by that column (EntryListModel::sortByHeaderClick), and so do Ctrl+1, Ctrl+2 and
// Ctrl+3 in the list for the first, second and third column. The view makes no widget or item object per row, so a
// vault of a million entries scrolls as lightly as one of ten.
class EntryListView final : public QTreeView {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(EntryListView)

public:
    explicit EntryListView(QWidget *parent = nullptr);
    ~EntryListView() override;

    void setEntryModel(EntryListModel *model);
    EntryListModel *entryModel() const { return model_; }

    // The number (from 0) of the first row in display order whose selected flag is set, or -1 when none is.
    qsizetype firstSelectedRow() const;
    bool isRowSelected(qsizetype row) const;
    void selectRow(qsizetype row, bool alsoKeepOthers = false);

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
    // The screen reader's description of a row: the current row says when it is not selected, as the commands on
    // the selected entry will refuse it.
    QString rowDescription(int row) const;
    void describeAnew(int row);

    EntryListModel *model_ = nullptr;
};
