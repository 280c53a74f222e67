#include "ui/EntryListView.h"

#include "core/EntryListModel.h"

#include <QHeaderView>
#include <QHelpEvent>
#include <QIdentityProxyModel>
#include <QToolTip>

using namespace Qt::StringLiterals;

namespace {

// A screen reader reads a row's cells one after another; after the first, each cell says which field it is:
// "bob, Password Hunter2, Website/Location mail.example.org". The screen shows the model's texts as they are.
class SpokenFieldNames final : public QIdentityProxyModel {
public:
    using QIdentityProxyModel::QIdentityProxyModel;
    QVariant data(const QModelIndex &index, int role) const override
    {
        QVariant value = QIdentityProxyModel::data(index, role);
        if (role != Qt::AccessibleTextRole || index.column() == 0) {
            return value;
        }
        return headerData(index.column(), Qt::Horizontal, Qt::DisplayRole).toString() + u' ' + value.toString();
    }
};

} // namespace

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

    QHeaderView *h = header();
    h->setStretchLastSection(false);
    h->setSortIndicatorShown(false);
    h->setSectionsClickable(true);
    h->setSectionsMovable(false);
    h->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    connect(h, &QHeaderView::sectionClicked, this, [this](int logical) { emit columnClicked(logical + 1); });
    // The second of two quick clicks arrives as a double-click and not as a click; it is a header click all the same.
    connect(h, &QHeaderView::sectionDoubleClicked, this, [this](int logical) { emit columnClicked(logical + 1); });
}

EntryListView::~EntryListView() = default;

void EntryListView::setEntryModel(EntryListModel *model)
{
    model_ = model;
    auto *spoken = qobject_cast<QIdentityProxyModel *>(QTreeView::model());
    if (!spoken) {
        spoken = new SpokenFieldNames(this);
    }
    spoken->setSourceModel(model);
    setModel(spoken);
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
    const QModelIndex index = model()->index(int(row), 0);
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
