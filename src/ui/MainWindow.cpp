#include "ui/MainWindow.h"

#include "core/EntryListModel.h"
#include "core/PublisherSettings.h"
#include "ui/EntryListView.h"
#include "ui/Fonts.h"
#include "ui/MenuFont.h"
#include "ui/PictureButton.h"
#include "ui/Placement.h"
#include "ui/ProgramIcon.h"
#include "ui/Skin.h"
#include "ui/StatusAnnouncer.h"
#include "ui/Twips.h"

#include <QCloseEvent>
#include <QHeaderView>
#include <QLabel>
#include <QMenuBar>
#include <QStatusBar>

#include <utility>

using namespace Qt::StringLiterals;

namespace {

// Design sizes in twips.
constexpr int MainClientWidth = 9015;
constexpr int MainClientHeight = 6555;
constexpr int StatusBarHeight = 315;
constexpr QPoint ListTopLeft(60, 1980);
// The outer size the list follows is the inside (menu bar and status bar included) plus the title bar and frame.
// Window managers report their frames late or not at all, so the design's own allowance stands for them: at the
// design size it gives the list its design height.
constexpr int TitleAndFrameHeight = 370;

} // namespace

// Status panel 1: as wide as the window was at load, for good. A narrower window clips it instead of being held at
// that width.
class MainWindow::StatusPanel final : public QLabel {
public:
    using QLabel::QLabel;
    void setPanelWidth(int width)
    {
        panelWidth_ = width;
        updateGeometry();
    }
    QSize sizeHint() const override { return QSize(panelWidth_, QLabel::sizeHint().height()); }
    QSize minimumSizeHint() const override { return QSize(0, QLabel::minimumSizeHint().height()); }

private:
    int panelWidth_ = 0;
};

MainWindow::MainWindow(EntryListModel &entries, const PublisherSettings &publisher, const QIcon &splashIcon,
                       QWidget *parent)
    : QMainWindow(parent), entries_(entries), publisher_(publisher)
{
    setObjectName(u"mainWindow"_s);
    Placement::centerOnFirstShow(this);
    setFont(Fonts::verdana(8.25));

    if (!splashIcon.isNull()) {
        setWindowIcon(splashIcon);
    }
    setWindowTitle(publisher_.productName + u" by "_s + publisher_.companyName);
    setAccessibleName(windowTitle());
    buildControls();
    buildMenus();
    websiteButton_->setCaption(u"Visit "_s + publisher_.publisherUrl);
    setUpColumns();
    resize(Twips::toPixels(MainClientWidth), Twips::toPixels(MainClientHeight) + menuBar()->sizeHint().height());
    statusPanel_->setPanelWidth(std::abs(frameGeometry().width()));
}

MainWindow::~MainWindow() = default;

void MainWindow::buildControls()
{
    auto *client = new QWidget(this);
    client->setObjectName(u"client"_s);
    setCentralWidget(client);

    const auto button = [client](const QString &name, const QString &caption, const QString &picture, QRect twips) {
        return new PictureButton(client, name, caption, picture, Twips::rect(twips));
    };
    addButton_ = button(u"addButton"_s, u"Add"_s, u"add"_s, {60, 60, 1155, 1035});
    deleteButton_ = button(u"deleteButton"_s, u"Delete"_s, u"delete"_s, {1260, 60, 1155, 1035});
    editButton_ = button(u"editButton"_s, u"Edit"_s, u"edit"_s, {2460, 60, 1155, 1035});
    goToButton_ = button(u"goToButton"_s, u"Go To"_s, u"goto"_s, {3660, 60, 1155, 1035});
    websiteButton_ = button(u"websiteButton"_s, QString(), u"website"_s, {4860, 60, 4095, 1035});
    copyButtons_[Entry::Username] =
        button(u"copyUsernameButton"_s, u"Copy Username"_s, u"copy"_s, {60, 1140, 2355, 795});
    copyButtons_[Entry::Password] =
        button(u"copyPasswordButton"_s, u"Copy Password"_s, u"copy"_s, {2460, 1140, 2355, 795});
    copyButtons_[Entry::Location] =
        button(u"copyLocationButton"_s, u"Copy Used At"_s, u"copy"_s, {4860, 1140, 4095, 795});

    entryList_ = new EntryListView(client);
    entryList_->setObjectName(u"entryList"_s);
    entryList_->setAccessibleName(u"Entries"_s);
    entryList_->setAccessibleDescription(u"Username, password and website or location of every entry"_s);
    entryList_->setEntryModel(&entries_);
    entryList_->setGeometry(Twips::rect(ListTopLeft.x(), ListTopLeft.y(), 8895, 4215));

    auto *status = new QStatusBar(this);
    status->setObjectName(u"statusBar"_s);
    status->setAccessibleName(u"Status"_s);
    status->setSizeGripEnabled(true);
    status->setFixedHeight(Twips::toPixels(StatusBarHeight));
    statusPanel_ = new StatusPanel(status);
    statusPanel_->setObjectName(u"statusPanel"_s);
    statusPanel_->setTextFormat(Qt::PlainText);
    statusPanel_->setAccessibleDescription(u"Status"_s);
    // Permanent, so that a status tip never hides the panel: the bar shows tips only beside its other widgets. An
    // empty widget after it takes the room a wider window adds, so that the panel keeps its place at the left.
    status->addPermanentWidget(statusPanel_);
    auto *rest = new QWidget(status);
    rest->setObjectName(u"statusBarRest"_s);
    status->addPermanentWidget(rest, 1);
    setStatusBar(status);

    // Keyboard order: Add, Edit, Delete, website, list, copy user name, Go To, copy password, copy location.
    const std::array<QWidget *, 9> order{addButton_,
                                         editButton_,
                                         deleteButton_,
                                         websiteButton_,
                                         entryList_,
                                         copyButtons_[Entry::Username],
                                         goToButton_,
                                         copyButtons_[Entry::Password],
                                         copyButtons_[Entry::Location]};
    for (size_t i = 0; i + 1 < order.size(); ++i) {
        setTabOrder(order[i], order[i + 1]);
    }

    connect(websiteButton_, &QToolButton::clicked, this, &MainWindow::websiteRequested);
    // Every click asks for the other direction than the list's, also on another column.
    connect(entryList_, &EntryListView::columnClicked, this, [this](int column) {
        emit sortRequested(column,
                           entries_.sortOrder() == Qt::AscendingOrder ? Qt::DescendingOrder : Qt::AscendingOrder);
    });
}

void MainWindow::buildMenus()
{
    QMenuBar *bar = menuBar();
    bar->setAccessibleName(u"Menu bar"_s);
    const auto addMenu = [bar](const QString &name, const QString &title) {
        QMenu *menu = bar->addMenu(title);
        menu->setObjectName(name);
        menu->setAccessibleName(title);
        return menu;
    };
    const auto addItem = [this](QMenu *menu, const QString &name, const QString &text, auto &&request) {
        QAction *action = menu->addAction(text);
        action->setObjectName(name);
        connect(action, &QAction::triggered, this, request);
        return action;
    };
    // A command with a button has one action, its menu item's, which the button triggers: both ask alike. The button
    // does not take the action over as a tool button's own (QToolButton::setDefaultAction), which would give it the
    // item's caption as its tooltip and its screen reader description.
    const auto pressTriggers = [](PictureButton *button, QAction *action) {
        connect(button, &QToolButton::clicked, action, &QAction::trigger);
    };
    QMenu *file = addMenu(u"fileMenu"_s, u"File"_s);
    addItem(file, u"exitAction"_s, u"Exit"_s, [this] { close(); });
    QMenu *data = addMenu(u"dataMenu"_s, u"Data"_s);
    pressTriggers(addButton_,
                  addItem(data, u"addAction"_s, u"Add Username/Password"_s, [this] { emit addRequested(); }));
    pressTriggers(deleteButton_, addItem(data, u"deleteAction"_s, u"Delete Selected Item"_s,
                                         [this] { emit deleteRequested(selectedRow()); }));
    pressTriggers(editButton_, addItem(data, u"editAction"_s, u"Edit Selected Item"_s,
                                       [this] { emit editRequested(selectedRow()); }));
    pressTriggers(goToButton_, addItem(data, u"goToAction"_s, u"Goto \"Used At\" Location"_s,
                                       [this] { emit goToRequested(selectedRow()); }));
    QMenu *copy = addMenu(u"copyMenu"_s, u"Copy"_s);
    const std::array<std::pair<QString, QString>, Entry::FieldCount> copyItems{{
        {u"copyUsernameAction"_s, u"Selected Username"_s},
        {u"copyPasswordAction"_s, u"Selected Password"_s},
        {u"copyLocationAction"_s, u"Selected Used At Location"_s},
    }};
    for (const Entry::Field field : {Entry::Username, Entry::Password, Entry::Location}) {
        pressTriggers(copyButtons_[field], addItem(copy, copyItems[field].first, copyItems[field].second,
                                                   [this, field] { emit copyRequested(field, selectedRow()); }));
    }
    QMenu *help = addMenu(u"helpMenu"_s, u"Help"_s);
    addItem(help, u"helpAction"_s, u"View Help"_s, [this] { emit helpRequested(); });
    QMenu *about = addMenu(u"aboutMenu"_s, u"About"_s);
    addItem(about, u"aboutAction"_s, u"About this software"_s, [this] { emit aboutRequested(); });
    MenuFont::useDesktopFont(bar);
}

void MainWindow::setUpColumns()
{
    QHeaderView *header = entryList_->header();
    const auto twipsWidth = [](QWidget *w) { return Twips::fromPixels(w->width()); };
    header->resizeSection(Entry::Username, Twips::toPixels(twipsWidth(copyButtons_[Entry::Username]) - 10));
    header->resizeSection(Entry::Password, Twips::toPixels(twipsWidth(copyButtons_[Entry::Password]) + 20));
    header->resizeSection(Entry::Location, Twips::toPixels(twipsWidth(copyButtons_[Entry::Location])));
}

void MainWindow::finishStartup()
{
    ProgramIcon::applyTo(this, u"AAA"_s, true);
    if (publisher_.useSkin) {
        Skin::apply(this);
    }
    setVisible(true);
}

void MainWindow::setStatusText(const QString &text, const QString &spoken)
{
    // A copied field may be megabytes long; the one-line panel, and a screen reader reading it, get its start.
    constexpr qsizetype StatusLength = 512;
    statusPanel_->setText(EntryListModel::boundedText(text, StatusLength));
    StatusAnnouncer::announce(statusPanel_, spoken.isEmpty() ? statusPanel_->text() : spoken);
}

void MainWindow::announce(const QString &spoken)
{
    StatusAnnouncer::announce(statusPanel_, spoken);
}

qsizetype MainWindow::selectedRow() const
{
    return entryList_->firstSelectedRow();
}

QSize MainWindow::listSizeFor(QSize outerTwips, QPoint listTopLeftTwips)
{
    return QSize(std::abs(outerTwips.width() - (listTopLeftTwips.x() + listTopLeftTwips.x())),
                 std::abs(outerTwips.height() - listTopLeftTwips.y() - 1000));
}

QSize MainWindow::outerSizeTwips(QSize inside)
{
    return QSize(Twips::fromPixels(inside.width()), Twips::fromPixels(inside.height()) + TitleAndFrameHeight);
}

void MainWindow::fitListToWindow()
{
    if (isMinimized()) {
        return;
    }
    const QSize list = listSizeFor(outerSizeTwips(size()), ListTopLeft);
    entryList_->resize(Twips::toPixels(list.width()), Twips::toPixels(list.height()));
}

void MainWindow::resizeEvent(QResizeEvent *event)
{
    QMainWindow::resizeEvent(event);
    fitListToWindow();
}

void MainWindow::keepOpen()
{
    keepOpen_ = true;
}

void MainWindow::closeEvent(QCloseEvent *event)
{
    // The answer comes before emit returns: whoever is asked has decided by then. A close asked while an earlier one
    // still waits for its answer gets an answer of its own.
    const bool earlier = std::exchange(keepOpen_, false);
    emit closeRequested();
    if (std::exchange(keepOpen_, earlier)) {
        event->ignore();
        return;
    }
    emit closing();
    QMainWindow::closeEvent(event);
}
