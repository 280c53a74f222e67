#include "ui/HelpWindow.h"

#include "core/PublisherSettings.h"
#include "ui/DocumentView.h"
#include "ui/EscapeKey.h"
#include "ui/Placement.h"
#include "ui/Skin.h"
#include "ui/Topmost.h"
#include "ui/Twips.h"

#include <QCheckBox>
#include <QTextBrowser>
#include <QTextCursor>
#include <QTextDocument>

using namespace Qt::StringLiterals;

namespace {

// Design sizes in twips.
constexpr int HelpClientWidth = 10290;
constexpr int HelpClientHeight = 7920;

} // namespace

// A tool window gets no taskbar entry: on Windows by its style, on X11 as a utility window that Qt makes transient
// for the program.
HelpWindow::HelpWindow(std::unique_ptr<QTextDocument> help, const PublisherSettings &publisher, QWidget *parent)
    : QDialog(parent, Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
      publisher_(publisher)
{
    setObjectName(u"helpWindow"_s);
    Placement::centerOnFirstShow(this);
    setWindowTitle(u"Readme/Help"_s);
    setAccessibleName(windowTitle());
    setFixedSize(Twips::toPixels(HelpClientWidth), Twips::toPixels(HelpClientHeight));
    EscapeKey::doesNothingIn(this);
    buildControls();
    load(std::move(help));
}

HelpWindow::~HelpWindow() = default;

void HelpWindow::buildControls()
{
    helpView_ = new DocumentView(this);
    helpView_->setObjectName(u"helpView"_s);
    helpView_->setAccessibleName(u"Help"_s);
    helpView_->setGeometry(Twips::rect(0, 0, 10275, 7515));
    helpView_->setReadOnly(true);
    // Read, select and scroll with the keyboard; a link in the help text leads nowhere.
    helpView_->setOpenLinks(false);
    helpView_->setOpenExternalLinks(false);
    helpView_->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    helpView_->setFocusPolicy(Qt::StrongFocus);

    showAtStartupBox_ = new QCheckBox(u"Show at Startup"_s, this);
    showAtStartupBox_->setObjectName(u"showAtStartupBox"_s);
    showAtStartupBox_->setAccessibleName(showAtStartupBox_->text());
    showAtStartupBox_->setGeometry(Twips::rect(60, 7620, 1995, 255));
    showAtStartupBox_->setChecked(true);
    // Every change is reported, also one made by the load: toggled, unlike clicked, reports both.
    connect(showAtStartupBox_, &QCheckBox::toggled, this, &HelpWindow::showAtStartupChanged);
}

void HelpWindow::load(std::unique_ptr<QTextDocument> help)
{
    if (publisher_.useSkin) {
        Skin::apply(this);
    }
    helpFound_ = help != nullptr;
    if (!helpFound_) {
        return;
    }
    // The view's own document had the view's font; the help text takes it too, for what sets no font of its own.
    help->setDefaultFont(helpView_->font());
    help->setParent(helpView_);
    helpView_->setDocument(help.release());
    helpView_->moveCursor(QTextCursor::Start);
    Topmost::keepOnTop(this, true);
}

void HelpWindow::setShowAtStartup(bool show)
{
    showAtStartupBox_->setChecked(show);
}
