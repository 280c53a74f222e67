#include "windows/Form8.h"

#include "shell/Program.h"
#include "shell/Twips.h"
#include "vault/xfileExists.h"
#include "windows/Placement.h"
#include "windows/RtfReader.h"
#include "windows/modOnTop.h"
#include "windows/modSkin.h"

#include <QCheckBox>
#include <QFile>
#include <QKeyEvent>
#include <QTextBrowser>

using namespace Qt::StringLiterals;

namespace {

// Design sizes in twips.
constexpr int ClientWidth = 10290;
constexpr int ClientHeight = 7920;

const QString SettingsSection = u"Settings"_s;
const QString ShowHelpKey = u"showHelp"_s;

} // namespace

// A tool window gets no taskbar entry: on Windows by its style, on X11 as a utility window that Qt makes transient
// for the program.
Form8::Form8(Program &program, QWidget *parent)
    : QDialog(parent, Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
      program_(program)
{
    setObjectName(u"Form8"_s);
    Placement::CenterOnFirstShow(this);
    setWindowTitle(u"Readme/Help"_s);
    setAccessibleName(windowTitle());
    setFixedSize(Twips::toPixels(ClientWidth), Twips::toPixels(ClientHeight));
    buildControls();
    Form_Load();
}

Form8::~Form8() = default;

void Form8::buildControls()
{
    rtf1 = new QTextBrowser(this);
    rtf1->setObjectName(u"rtf1"_s);
    rtf1->setAccessibleName(u"Help"_s);
    rtf1->setGeometry(Twips::rect(0, 0, 10275, 7515));
    rtf1->setReadOnly(true);
    // Read, select and scroll with the keyboard; a link in the help text leads nowhere.
    rtf1->setOpenLinks(false);
    rtf1->setOpenExternalLinks(false);
    rtf1->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    rtf1->setFocusPolicy(Qt::StrongFocus);

    Check1 = new QCheckBox(u"Show at Startup"_s, this);
    Check1->setObjectName(u"Check1"_s);
    Check1->setAccessibleName(Check1->text());
    Check1->setGeometry(Twips::rect(60, 7620, 1995, 255));
    Check1->setChecked(true);
    // Every change writes, also one made by the load: toggled, unlike clicked, reports both.
    connect(Check1, &QCheckBox::toggled, this, &Form8::Check1_Click);
}

void Form8::Form_Load()
{
    if (program_.publisher().UseSkin) {
        modSkin::ApplySkin(this);
    }
    const QString path = program_.helpFilePath();
    helpFileFound_ = xfileExists::FileExists(path);
    if (!helpFileFound_) {
        return;
    }
    loadHelpFile(path);
    modOnTop::SetTopmost(this, true);
    readStartupSetting();
}

void Form8::loadHelpFile(const QString &path)
{
    // An unreadable, oversized or broken file leaves the view without help text, or with what could be read.
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || file.size() > MaxHelpFileBytes) {
        return;
    }
    const QByteArray rtf = file.read(MaxHelpFileBytes + 1);
    if (rtf.size() > MaxHelpFileBytes) {
        return;
    }
    RtfReader reader;
    reader.read(rtf, *rtf1->document());
    rtf1->moveCursor(QTextCursor::Start);
}

void Form8::readStartupSetting()
{
    const QString stored =
        program_.platform().settings.read(program_.publisher().ProductName, SettingsSection, ShowHelpKey, u"1"_s);
    bool isNumber = false;
    const int value = stored.toInt(&isNumber);
    // A value that is not a number leaves the box as designed, ticked. Any number other than 0 ticks it.
    if (isNumber) {
        Check1->setChecked(value != 0);
    }
}

void Form8::Check1_Click()
{
    const int value = Check1->isChecked() ? 1 : 0;
    program_.platform().settings.write(program_.publisher().ProductName, SettingsSection, ShowHelpKey,
                                       QString::number(value));
}

// The window has no Cancel button, so Escape does not close it; only its close box does.
void Form8::keyPressEvent(QKeyEvent *event)
{
    if (event->matches(QKeySequence::Cancel)) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}
