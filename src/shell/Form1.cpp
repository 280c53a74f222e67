#include "shell/Form1.h"

#include "commands/EntryCommands.h"
#include "shell/EntryListModel.h"
#include "shell/EntryListView.h"
#include "shell/Program.h"
#include "shell/Twips.h"
#include "shell/frmSplash.h"
#include "shell/modListViewEnh.h"
#include "vault/modGlobals.h"
#include "windows/Placement.h"
#include "windows/modIcon.h"
#include "windows/modSkin.h"

#include <QCloseEvent>
#include <QHeaderView>
#include <QLabel>
#include <QMenuBar>
#include <QStatusBar>
#include <QToolButton>

using namespace Qt::StringLiterals;

namespace {

// Design sizes in twips.
constexpr int ClientWidth = 9015;
constexpr int ClientHeight = 6555;
constexpr int StatusBarHeight = 315;
constexpr QPoint ListTopLeft(60, 1980);
// The outer size the list follows is the inside (menu bar and status bar included) plus the title bar and frame.
// Window managers report their frames late or not at all, so the design's own allowance stands for them: at the
// design size it gives the list its design height.
constexpr int TitleAndFrameHeight = 370;

// Status panel 1: as wide as the window was at load, for good. A narrower window clips it instead of being held
// at that width.
class StatusPanel final : public QLabel {
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

QToolButton *pictureButton(QWidget *parent, const QString &name, const QString &caption, const QString &picture,
                           QRect twips)
{
    auto *button = new QToolButton(parent);
    button->setObjectName(name);
    button->setText(caption);
    button->setAccessibleName(caption);
    button->setIcon(QIcon(u":/buttons/%1.png"_s.arg(picture)));
    button->setIconSize(QSize(32, 32));
    button->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    button->setFocusPolicy(Qt::StrongFocus);
    button->setGeometry(Twips::rect(twips.x(), twips.y(), twips.width(), twips.height()));
    return button;
}

} // namespace

Form1::Form1(Program &program, QWidget *parent) : QMainWindow(parent), program_(program)
{
    setObjectName(u"Form1"_s);
    Placement::CenterOnFirstShow(this);
    setFont(QFont(u"Verdana"_s, 8));
    const PublisherSettings &publisher = program_.publisher();

    // Load steps.
    if (publisher.UseSplashIcon && program_.splash.isLoaded()) {
        setWindowIcon(program_.splash.get()->windowIcon());
    }
    setWindowTitle(publisher.ProductName + u" by "_s + publisher.CompanyName);
    setAccessibleName(windowTitle());
    buildControls();
    buildMenus();
    cmdWebsite->setText(u"Visit "_s + publisher.PublisherUrl);
    cmdWebsite->setAccessibleName(cmdWebsite->text());
    setUpColumns();
    resize(Twips::toPixels(ClientWidth), Twips::toPixels(ClientHeight) + menuBar()->sizeHint().height());
    static_cast<StatusPanel *>(statusPanel)->setPanelWidth(std::abs(frameGeometry().width()));

    program_.store().CheckFirstRun();
}

Form1::~Form1() = default;

void Form1::buildControls()
{
    auto *client = new QWidget(this);
    client->setObjectName(u"client"_s);
    setCentralWidget(client);

    cmdAdd = pictureButton(client, u"cmdAdd"_s, u"Add"_s, u"add"_s, {60, 60, 1155, 1035});
    cmdDelete = pictureButton(client, u"cmdDelete"_s, u"Delete"_s, u"delete"_s, {1260, 60, 1155, 1035});
    cmdEdit = pictureButton(client, u"cmdEdit"_s, u"Edit"_s, u"edit"_s, {2460, 60, 1155, 1035});
    cmdGoto = pictureButton(client, u"cmdGoto"_s, u"Go To"_s, u"goto"_s, {3660, 60, 1155, 1035});
    cmdWebsite = pictureButton(client, u"cmdWebsite"_s, QString(), u"website"_s, {4860, 60, 4095, 1035});
    cmdCopy[0] = pictureButton(client, u"cmdCopy0"_s, u"Copy Username"_s, u"copy"_s, {60, 1140, 2355, 795});
    cmdCopy[1] = pictureButton(client, u"cmdCopy1"_s, u"Copy Password"_s, u"copy"_s, {2460, 1140, 2355, 795});
    cmdCopy[2] = pictureButton(client, u"cmdCopy2"_s, u"Copy Used At"_s, u"copy"_s, {4860, 1140, 4095, 795});

    lstPass = new EntryListView(client);
    lstPass->setObjectName(u"lstPass"_s);
    lstPass->setAccessibleName(u"Entries"_s);
    lstPass->setAccessibleDescription(u"Username, password and website or location of every entry"_s);
    lstPass->setEntryModel(&program_.entries());
    lstPass->setGeometry(Twips::rect(ListTopLeft.x(), ListTopLeft.y(), 8895, 4215));

    auto *status = new QStatusBar(this);
    status->setObjectName(u"StatusBar1"_s);
    status->setAccessibleName(u"Status"_s);
    status->setSizeGripEnabled(true);
    status->setFixedHeight(Twips::toPixels(StatusBarHeight));
    statusPanel = new StatusPanel(status);
    statusPanel->setObjectName(u"statusPanel"_s);
    statusPanel->setTextFormat(Qt::PlainText);
    statusPanel->setAccessibleDescription(u"Status"_s);
    status->addWidget(statusPanel);
    setStatusBar(status);

    // Keyboard order: Add, Edit, Delete, website, list, copy user name, Go To, copy password, copy location.
    const std::array<QWidget *, 9> order{cmdAdd,     cmdEdit, cmdDelete,  cmdWebsite, lstPass,
                                         cmdCopy[0], cmdGoto, cmdCopy[1], cmdCopy[2]};
    for (size_t i = 0; i + 1 < order.size(); ++i) {
        setTabOrder(order[i], order[i + 1]);
    }

    EntryCommands &commands = program_.commands();
    connect(cmdAdd, &QToolButton::clicked, this, [&commands] { commands.cmdAdd_Click(0); });
    connect(cmdDelete, &QToolButton::clicked, this, [&commands] { commands.cmdDelete_Click(); });
    connect(cmdEdit, &QToolButton::clicked, this, [&commands] { commands.cmdEdit_Click(); });
    connect(cmdGoto, &QToolButton::clicked, this, [&commands] { commands.cmdGoto_Click(); });
    connect(cmdWebsite, &QToolButton::clicked, this, [&commands] { commands.cmdWebsite_Click(0); });
    for (int i = 0; i < 3; ++i) {
        connect(cmdCopy[size_t(i)], &QToolButton::clicked, this, [&commands, i] { commands.cmdCopy_Click(i); });
    }
    connect(lstPass, &EntryListView::columnClicked, this,
            [this](int header) { modListViewEnh::EnhListView_SortColumns(program_.entries(), header); });
}

void Form1::buildMenus()
{
    QMenuBar *bar = menuBar();
    bar->setAccessibleName(u"Menu bar"_s);
    const auto addMenu = [&](const QString &name, const QString &title, const QStringList &items,
                             void (Form1::*handler)(int)) {
        QMenu *menu = bar->addMenu(title);
        menu->setObjectName(name);
        menu->setAccessibleName(title);
        for (int i = 0; i < items.size(); ++i) {
            QAction *action = menu->addAction(items[i]);
            action->setObjectName(name + u"Item"_s + QString::number(i));
            connect(action, &QAction::triggered, this, [this, handler, i] { (this->*handler)(i); });
        }
    };
    addMenu(u"mnuFile"_s, u"File"_s, {u"Exit"_s}, &Form1::mnuFileItem_Click);
    addMenu(u"mnuData"_s, u"Data"_s,
            {u"Add Username/Password"_s, u"Delete Selected Item"_s, u"Edit Selected Item"_s,
             u"Goto \"Used At\" Location"_s},
            &Form1::mnuDataItem_Click);
    addMenu(u"mnuCopy"_s, u"Copy"_s, {u"Selected Username"_s, u"Selected Password"_s, u"Selected Used At Location"_s},
            &Form1::mnuCopyItem_Click);
    addMenu(u"mnuHelp"_s, u"Help"_s, {u"View Help"_s}, &Form1::mnuHelpItem_Click);
    addMenu(u"mnuAbout"_s, u"About"_s, {u"About this software"_s}, &Form1::mnuAboutItem_Click);
}

void Form1::setUpColumns()
{
    QHeaderView *header = lstPass->header();
    const auto twipsWidth = [](QWidget *w) { return Twips::fromPixels(w->width()); };
    header->resizeSection(EntryListModel::UsernameColumn, Twips::toPixels(twipsWidth(cmdCopy[0]) - 10));
    header->resizeSection(EntryListModel::PasswordColumn, Twips::toPixels(twipsWidth(cmdCopy[1]) + 20));
    header->resizeSection(EntryListModel::LocationColumn, Twips::toPixels(twipsWidth(cmdCopy[2])));
}

void Form1::afterFormLoad()
{
    modIcon::SetWindowIcon(this, u"AAA"_s, true);
    if (program_.publisher().UseSkin) {
        modSkin::ApplySkin(this);
    }
    setVisible(true);
    const QString showHelp =
        program_.platform().settings.read(program_.publisher().ProductName, u"Settings"_s, u"showHelp"_s, u"1"_s);
    if (showHelp == u"1"_s) {
        program_.openHelpWindow();
    }
    program_.unloadPasswordDialog();
}

void Form1::SetStatusText(const QString &text)
{
    statusPanel->setText(text);
}

QString Form1::statusText() const
{
    return statusPanel->text();
}

QSize Form1::listSizeFor(QSize outerTwips, QPoint listTopLeftTwips)
{
    return QSize(std::abs(outerTwips.width() - (listTopLeftTwips.x() + listTopLeftTwips.x())),
                 std::abs(outerTwips.height() - listTopLeftTwips.y() - 1000));
}

QSize Form1::outerSizeTwips(QSize inside)
{
    return QSize(Twips::fromPixels(inside.width()), Twips::fromPixels(inside.height()) + TitleAndFrameHeight);
}

void Form1::Form_Resize()
{
    if (isMinimized()) {
        return;
    }
    const QSize list = listSizeFor(outerSizeTwips(size()), ListTopLeft);
    lstPass->resize(Twips::toPixels(list.width()), Twips::toPixels(list.height()));
}

void Form1::resizeEvent(QResizeEvent *event)
{
    QMainWindow::resizeEvent(event);
    Form_Resize();
}

bool Form1::Form_Unload()
{
    // A change that could not be saved is tried once more; if it still fails, the user decides.
    modGlobals::VaultStore &store = program_.store();
    if (store.lastSaveFailed() && !store.SaveVault()) {
        const auto answer = program_.platform().messages.show(
            this,
            u"Your last change could not be saved, so closing now would lose it.\r\n\r\n"
            u"Click OK to close anyway, or Cancel to keep Brisvane open."_s,
            u"Not saved"_s, MessageBoxes::Buttons::OkCancel);
        if (answer != MessageBoxes::Answer::Ok) {
            return false;
        }
    }
    program_.unloadOtherWindows();
    program_.endProgram();
    return true;
}

void Form1::closeEvent(QCloseEvent *event)
{
    if (!Form_Unload()) {
        event->ignore();
        return;
    }
    QMainWindow::closeEvent(event);
}

void Form1::mnuFileItem_Click(int index)
{
    if (index == 0) {
        close();
    }
}

void Form1::mnuDataItem_Click(int index)
{
    EntryCommands &commands = program_.commands();
    switch (index) {
    case 0:
        commands.cmdAdd_Click(0);
        break;
    case 1:
        commands.cmdDelete_Click();
        break;
    case 2:
        commands.cmdEdit_Click();
        break;
    case 3:
        commands.cmdGoto_Click();
        break;
    default:
        break;
    }
}

void Form1::mnuCopyItem_Click(int index)
{
    program_.commands().cmdCopy_Click(index);
}

void Form1::mnuHelpItem_Click(int)
{
    program_.openHelpWindow();
}

void Form1::mnuAboutItem_Click(int)
{
    program_.openAboutWindow();
}
