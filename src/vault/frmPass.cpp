#include "vault/frmPass.h"

#include "shell/Form1.h"
#include "shell/Program.h"
#include "shell/Twips.h"
#include "vault/StorableText.h"
#include "vault/modGlobals.h"
#include "windows/PasswordEdit.h"
#include "windows/Placement.h"
#include "windows/modOnTop.h"
#include "windows/modSkin.h"

#include <QCloseEvent>
#include <QLabel>
#include <QPushButton>
#include <QTimer>

using namespace Qt::StringLiterals;

namespace {

void placeTwips(QWidget *w, int left, int top, int width, int height)
{
    w->setGeometry(Twips::rect(left, top, width, height));
}

int topTwips(const QWidget *w)
{
    return Twips::fromPixels(w->y());
}

int heightTwips(const QWidget *w)
{
    return Twips::fromPixels(w->height());
}

void moveTopTwips(QWidget *w, int top)
{
    w->move(w->x(), Twips::toPixels(top));
}

QLabel *label(QWidget *parent, const QString &name, const QString &text)
{
    auto *l = new QLabel(text, parent);
    l->setObjectName(name);
    l->setTextFormat(Qt::PlainText);
    l->setWordWrap(true);
    l->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    return l;
}

QPushButton *button(QWidget *parent, const QString &name, const QString &caption)
{
    auto *b = new QPushButton(caption, parent);
    b->setObjectName(name);
    b->setAccessibleName(caption);
    // Neither is the window's default button: Enter in a box runs Ok once, through the box's own rule.
    b->setAutoDefault(false);
    b->setDefault(false);
    return b;
}

} // namespace

frmPass::frmPass(Program &program, QWidget *parent) : QDialog(parent), program_(program)
{
    setObjectName(u"frmPass"_s);
    Placement::CenterOnFirstShow(this);
    setWindowTitle(u"Password Required"_s);
    setAccessibleName(windowTitle());
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    setModal(false);
    setFont(QFont(u"Verdana"_s, 8));
    setSizeGripEnabled(false);

    // Created in tab order: the first control that takes the focus has it when the dialog first shows.
    SkinLabel1 = label(this, u"SkinLabel1"_s, u"Please enter your password"_s);
    cmdOK = button(this, u"cmdOK"_s, u"Ok"_s);
    cmdCancel = button(this, u"cmdCancel"_s, u"Cancel"_s);
    txtPass = new PasswordEdit(this);
    txtPass->setObjectName(u"txtPass"_s);
    txtPass->setAccessibleName(u"Password"_s);
    SkinLabel2 = label(this, u"SkinLabel2"_s, u"Password:"_s);
    txtPass2 = new PasswordEdit(this);
    txtPass2->setObjectName(u"txtPass2"_s);
    txtPass2->setAccessibleName(u"Retype Password"_s);
    SkinLabel3 = label(this, u"SkinLabel3"_s, u"Retype Password:"_s);
    SkinLabel2->setBuddy(txtPass);
    SkinLabel3->setBuddy(txtPass2);
    setTabOrder(cmdOK, cmdCancel);
    setTabOrder(cmdCancel, txtPass);
    setTabOrder(txtPass, txtPass2);

    placeTwips(SkinLabel1, 120, 60, 6615, 315);
    placeTwips(cmdOK, 4500, 1260, 1095, 495);
    placeTwips(cmdCancel, 5700, 1260, 1035, 495);
    placeTwips(txtPass, 1740, 480, 4995, 315);
    placeTwips(SkinLabel2, 120, 540, 915, 255);
    placeTwips(txtPass2, 1740, 2400, 4995, 315);
    placeTwips(SkinLabel3, 120, 2460, 1935, 255);
    setFixedWidth(Twips::toPixels(6825));

    Timer1 = new QTimer(this);
    Timer1->setObjectName(u"Timer1"_s);
    Timer1->setInterval(100);
    connect(Timer1, &QTimer::timeout, this, &frmPass::Timer1_Timer);
    Timer1->start();

    connect(cmdOK, &QPushButton::clicked, this, &frmPass::cmdOK_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &frmPass::cmdCancel_Click);
    connect(txtPass, &QLineEdit::returnPressed, this, &frmPass::cmdOK_Click);
    connect(txtPass2, &QLineEdit::returnPressed, this, &frmPass::cmdOK_Click);

    Form_Load();
}

frmPass::~frmPass() = default;

void frmPass::Form_Load()
{
    if (Form1 *main = program_.mainWindow.get()) {
        main->setVisible(false);
    }
    FailedTries = 0;
    if (program_.CreateMode) {
        layOutCreateMode();
    } else {
        layOutEnterMode();
    }
    SkinLabel1->setAccessibleName(SkinLabel1->text());
    raise();
    modOnTop::SetTopmost(this, true);
    program_.processEvents();
    txtPass->clear();
    if (program_.publisher().UseSkin) {
        modSkin::ApplySkin(this);
    }
}

void frmPass::layOutCreateMode()
{
    SkinLabel1->setText(u"Because this is the first time you have used "_s + program_.publisher().ProductName +
                        u", you will need to create a master password.  This password will be required to open "
                        u"the program from now on, and can not be reset.\r\n\r\nPlease enter a password that you "
                        u"will not forget."_s);
    SkinLabel1->resize(SkinLabel1->width(), Twips::toPixels(1500));
    // Worked out in twips: a position read back from pixels is off by up to 7 twips, and the sums would carry
    // that into the window height.
    const int passTop = 1700;
    const int pass2Top = passTop + heightTwips(txtPass) + 60;
    const int okTop = pass2Top + heightTwips(txtPass2) + 60;
    moveTopTwips(txtPass, passTop);
    moveTopTwips(txtPass2, pass2Top);
    moveTopTwips(cmdOK, okTop);
    moveTopTwips(cmdCancel, okTop);
    moveTopTwips(SkinLabel3, pass2Top);
    SkinLabel3->setVisible(true);
    moveTopTwips(SkinLabel2, passTop);
    txtPass2->setVisible(true);
    setOuterHeight(okTop + heightTwips(cmdOK) + 60 + 500);
}

void frmPass::layOutEnterMode()
{
    setOuterHeight(1845);
    SkinLabel1->setText(u"Please enter your password"_s);
    moveTopTwips(txtPass, 360);
    moveTopTwips(cmdOK, 780);
    moveTopTwips(cmdCancel, 780);
    SkinLabel3->setVisible(false);
    moveTopTwips(SkinLabel2, topTwips(txtPass));
    txtPass2->setVisible(false);
}

void frmPass::setOuterHeight(int twips)
{
    outerHeightTwips_ = twips;
    setFixedHeight(Twips::toPixels(twips - FrameTwips));
}

void frmPass::Timer1_Timer()
{
    if (Form1 *main = program_.mainWindow.get()) {
        main->setVisible(false);
    }
}

void frmPass::message(const QString &text)
{
    program_.platform().messages.show(this, text, {}, MessageBoxes::Buttons::Ok);
}

void frmPass::cmdOK_Click()
{
    if (program_.CreateMode) {
        okCreateMode();
    } else {
        okEnterMode();
    }
}

void frmPass::okCreateMode()
{
    if (txtPass->text().size() < 4) {
        modOnTop::SetTopmost(this, false);
        message(u"You must enter a password that is at least 4 characters long"_s);
        modOnTop::SetTopmost(this, true);
        return;
    }
    if (txtPass2->text() != txtPass->text()) {
        modOnTop::SetTopmost(this, false);
        message(u"Your passwords did not match.  Please try again."_s);
        txtPass2->clear();
        txtPass->clear();
        modOnTop::SetTopmost(this, true);
        return;
    }
    // A password that the vault file could not hold could never be typed back: refuse it now.
    if (const auto why = StorableText::whyNot(txtPass->text(), StorableText::Kind::MasterPassword)) {
        modOnTop::SetTopmost(this, false);
        message(*why);
        modOnTop::SetTopmost(this, true);
        return;
    }
    program_.store().setMasterPassword(txtPass->text());
    Timer1->stop();
    program_.store().CreateMasterPassword();
}

void frmPass::okEnterMode()
{
    modGlobals::VaultStore &store = program_.store();
    if (txtPass->text() == store.StoredPassword()) {
        store.setMasterPassword(store.StoredPassword());
        Timer1->stop();
        store.LoadVault();
        return;
    }
    const auto answer = program_.platform().messages.show(this, u"Sorry, the password you entered was not correct."_s,
                                                          u"Incorrect Password"_s, MessageBoxes::Buttons::RetryCancel);
    if (answer == MessageBoxes::Answer::Retry) {
        ++FailedTries;
        if (FailedTries == MaxTries) {
            message(u"Only 3 tries allowed.  Click Ok to close."_s);
            Timer1->stop();
            program_.endProgram();
            return;
        }
        txtPass->clear();
        return;
    }
    Timer1->stop();
    program_.endProgram();
}

void frmPass::cmdCancel_Click()
{
    Timer1->stop();
    program_.endProgram();
}

void frmPass::closeEvent(QCloseEvent *event)
{
    // Form_Unload: closing the gate before a password was accepted ends the program.
    if (program_.store().MasterPassword().isEmpty()) {
        program_.endProgram();
    }
    QDialog::closeEvent(event);
}

