#include "ui/EntryListView.h"

#include "core/EntryListModel.h"

#include <QHeaderView>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QToolTip>

using namespace Qt::StringLiterals;

EntryListView::EntryListView(QWidget *parent) : QTreeView(parent)
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
}

EntryListView::~EntryListView() = default;

void EntryListView::setEntryModel(EntryListModel *model)
{
    model_ = model;
    setModel(model);
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

bool EntryListView::isRowSelected(qsizetype row) const
{
    return selectionModel() && selectionModel()->isRowSelected(int(row), {});
}

void EntryListView::selectRow(qsizetype row, bool alsoKeepOthers)
{
    if (!model_ || row < 0 || row >= model_->rowCount()) {
        return;
    }
    const QModelIndex index = model_->index(int(row), 0);
    auto flags = QItemSelectionModel::Select | QItemSelectionModel::Rows;
    if (!alsoKeepOthers) {
        flags |= QItemSelectionModel::Clear;
    }
    selectionModel()->select(index, flags);
    selectionModel()->setCurrentIndex(index, QItemSelectionModel::NoUpdate);
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
