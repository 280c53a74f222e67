#include "ui/HelpWindow.h"

#include "core/FileSystem.h"
#include "core/PublisherSettings.h"
#include "platform/Platform.h"
#include "rtf/RtfReader.h"
#include "ui/DocumentView.h"
#include "ui/EscapeKey.h"
#include "ui/Placement.h"
#include "ui/Skin.h"
#include "ui/Topmost.h"
#include "ui/Twips.h"

#include <QCheckBox>
#include <QFile>
#include <QTextBrowser>
#include <QTextCursor>
#include <QTextDocument>

using namespace Qt::StringLiterals;

namespace {

// Design sizes in twips.
constexpr int HelpClientWidth = 10290;
constexpr int HelpClientHeight = 7920;

const QString SettingsSection = u"Settings"_s;
const QString ShowHelpKey = u"showHelp"_s;

// A help file that the reader's bounds cut ends with a line of its own that says so, in the view's own font.
void appendCutNote(QTextDocument &document)
{
    QTextCursor cursor(&document);
    cursor.movePosition(QTextCursor::End);
    cursor.insertBlock(QTextBlockFormat(), QTextCharFormat());
    cursor.insertText(HelpWindow::CutNote.toString());
}

} // namespace

// A tool window gets no taskbar entry: on Windows by its style, on X11 as a utility window that Qt makes transient
// for the program.
HelpWindow::HelpWindow(const QString &helpFilePath, SettingsStore &settings, const PublisherSettings &publisher,
                       QWidget *parent)
    : QDialog(parent, Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
      settings_(settings), publisher_(publisher)
{
    setObjectName(u"helpWindow"_s);
    Placement::centerOnFirstShow(this);
    setWindowTitle(u"Readme/Help"_s);
    setAccessibleName(windowTitle());
    setFixedSize(Twips::toPixels(HelpClientWidth), Twips::toPixels(HelpClientHeight));
    EscapeKey::doesNothingIn(this);
    buildControls();
    load(helpFilePath);
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
    // Every change writes, also one made by the load: toggled, unlike clicked, reports both.
    connect(showAtStartupBox_, &QCheckBox::toggled, this, &HelpWindow::saveStartupSetting);
}

void HelpWindow::load(const QString &path)
{
    if (publisher_.useSkin) {
        Skin::apply(this);
    }
    helpFileFound_ = FileSystem::fileExists(path);
    if (!helpFileFound_) {
        return;
    }
    loadHelpFile(path);
    Topmost::keepOnTop(this, true);
    readStartupSetting();
}

void HelpWindow::loadHelpFile(const QString &path)
{
    // An unreadable, oversized or broken file leaves the view without help text, or with what could be read.
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || file.size() > MaxHelpFileBytes) {
        return;
    }
    // Read at the file's own size; one byte more tells a file that grew since past the bound.
    const QByteArray rtf = file.read(file.size() + 1);
    if (rtf.size() > MaxHelpFileBytes) {
        return;
    }
    RtfReader reader;
    if (!reader.read(rtf, *helpView_->document()) && reader.wasCut()) {
        appendCutNote(*helpView_->document());
    }
    helpView_->moveCursor(QTextCursor::Start);
}

void HelpWindow::readStartupSetting()
{
    const QString stored = settings_.read(publisher_.productName, SettingsSection, ShowHelpKey, u"1"_s);
    bool isNumber = false;
    const int value = stored.toInt(&isNumber);
    // A value that is not a number leaves the box as designed, ticked. Any number other than 0 ticks it.
    if (isNumber) {
        showAtStartupBox_->setChecked(value != 0);
    }
}

void HelpWindow::saveStartupSetting()
{
    const int value = showAtStartupBox_->isChecked() ? 1 : 0;
    settings_.write(publisher_.productName, SettingsSection, ShowHelpKey, QString::number(value));
}
