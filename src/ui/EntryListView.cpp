#include "ui/EntryListView.h"

#include "core/EntryListModel.h"

#include <QAccessible>
#include <QHeaderView>
#include <QHelpEvent>
#include <QIdentityProxyModel>
#include <QKeyEvent>
#include <QPointer>
#include <QShortcut>
#include <QToolTip>

using namespace Qt::StringLiterals;

// The entries row for row, with the description of each cell for a screen reader (Qt::AccessibleDescriptionRole):
// the current row says so when it is not selected.
class EntryListView::DescribedRows final : public QIdentityProxyModel {
public:
    explicit DescribedRows(EntryListView &view) : QIdentityProxyModel(&view), view_(view) {}

    void setEntries(EntryListModel *entries)
    {
        entries_ = entries;
        setSourceModel(entries);
    }

    // The view asks for the index and the flags of every row when it lays the list out: answered here as quickly as
    // the entries answer, without the general mapping. The entries are a flat table, so a row's index needs nothing
    // of theirs.
    QModelIndex index(int row, int column, const QModelIndex &parent = {}) const override
    {
        const bool inside = entries_ && !parent.isValid() && row >= 0 && row < entries_->rowCount() && column >= 0 &&
                            column < Entry::FieldCount;
        return inside ? createIndex(row, column) : QModelIndex();
    }
    Qt::ItemFlags flags(const QModelIndex &index) const override
    {
        return entries_ ? entries_->flags(entries_->index(index.row(), index.column())) : Qt::NoItemFlags;
    }

    QVariant data(const QModelIndex &index, int role) const override
    {
        if (role != Qt::AccessibleDescriptionRole) {
            return QIdentityProxyModel::data(index, role);
        }
        const QItemSelectionModel *selection = view_.selectionModel();
        const bool unselectedCurrent = index.isValid() && selection && index.row() == view_.currentIndex().row() &&
                                       !selection->isRowSelected(index.row(), {});
        return unselectedCurrent ? u"not selected, Space selects it"_s : QString();
    }

private:
    const EntryListView &view_;
    QPointer<EntryListModel> entries_;
};

EntryListView::EntryListView(QWidget *parent) : QTreeView(parent), rows_(new DescribedRows(*this))
{
    setRootIsDecorated(false);
    setItemsExpandable(false);
    setIndentation(0);
    setUniformRowHeights(true);
    setAllColumnsShowFocus(true);
    setSortingEnabled(false);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setTextElideMode(Qt::ElideRight);
    setDragDropMode(QAbstractItemView::NoDragDrop);
    setDragEnabled(false);

    QHeaderView *h = header();
    h->setStretchLastSection(false);
    h->setSortIndicatorShown(false);
    h->setSectionsClickable(true);
    h->setSectionsMovable(false);
    h->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    connect(h, &QHeaderView::sectionClicked, this, [this](int logical) { emit columnClicked(logical); });
    // The second of two quick clicks arrives as a double-click and not as a click; it is a header click all the same.
    connect(h, &QHeaderView::sectionDoubleClicked, this, [this](int logical) { emit columnClicked(logical); });
    // The headers never take the focus (that would change the tab order), so the list has a sort key per column, as
    // the current column never moves while whole rows are selected. Plain letters and digits search the rows; with
    // Ctrl they are free, in the view and in screen readers.
    for (int column = 0; column < Entry::FieldCount; ++column) {
        auto *sortKey = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key(Qt::Key_1 + column)), this);
        sortKey->setContext(Qt::WidgetShortcut);
        connect(sortKey, &QShortcut::activated, this, [this, column] { emit columnClicked(column); });
    }

    setModel(rows_);
    connect(selectionModel(), &QItemSelectionModel::selectionChanged, this,
            [this] { describeAnew(currentIndex().row()); });
    connect(selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex &current, const QModelIndex &previous) {
                describeAnew(previous.row());
                describeAnew(current.row());
            });
}

EntryListView::~EntryListView() = default;

void EntryListView::setEntryModel(EntryListModel *model)
{
    rows_->setEntries(model);
}

void EntryListView::describeAnew(int row)
{
    QAccessibleInterface *list = QAccessible::isActive() ? QAccessible::queryAccessibleInterface(this) : nullptr;
    QAccessibleTableInterface *table = list ? list->tableInterface() : nullptr;
    if (!table || row < 0 || row >= table->rowCount()) {
        return;
    }
    for (int column = 0; column < table->columnCount(); ++column) {
        if (QAccessibleInterface *cell = table->cellAt(row, column)) {
            QAccessibleEvent changed(cell, QAccessible::DescriptionChanged);
            QAccessible::updateAccessibility(&changed);
        }
    }
}

qsizetype EntryListView::firstSelectedRow() const
{
    const QItemSelectionModel *selection = selectionModel();
    if (!selection) {
        return -1;
    }
    qsizetype first = -1;
    for (const QItemSelectionRange &range : selection->selection()) {
        if (range.isValid() && (first < 0 || range.top() < first)) {
            first = range.top();
        }
    }
    return first;
}

bool EntryListView::viewportEvent(QEvent *event)
{
    if (event->type() != QEvent::ToolTip) {
        return QTreeView::viewportEvent(event);
    }
    const auto *help = static_cast<QHelpEvent *>(event);
    const QString text = indexAt(help->pos()).data(Qt::ToolTipRole).toString();
    if (text.isEmpty()) {
        QToolTip::hideText();
    } else {
        // A tooltip takes anything that looks like markup for markup; escaped and kept in one paragraph, it shows the
        // characters themselves.
        QToolTip::showText(help->globalPos(), u"<p style='white-space:pre'>"_s + text.toHtmlEscaped() + u"</p>"_s,
                           viewport(), visualRect(indexAt(help->pos())));
    }
    return true;
}

void EntryListView::keyPressEvent(QKeyEvent *event)
{
    if (event->matches(QKeySequence::Copy)) {
        event->accept();
        return;
    }
    QTreeView::keyPressEvent(event);
}
