#include "ui/PasswordDialog.h"

#include "core/PublisherSettings.h"
#include "core/StorableText.h"
#include "platform/Platform.h"
#include "ui/EnterKey.h"
#include "ui/EscapeKey.h"
#include "ui/Fonts.h"
#include "ui/PasswordEdit.h"
#include "ui/Placement.h"
#include "ui/ProgramIcon.h"
#include "ui/Skin.h"
#include "ui/Topmost.h"
#include "ui/Twips.h"

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

QLabel *wrappedLabel(QWidget *parent, const QString &name, const QString &text)
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
    // Neither is the window's default button: Enter presses the focused button, and in a box runs Ok through the
    // box's own rule.
    b->setAutoDefault(false);
    b->setDefault(false);
    EnterKey::pressesButton(b);
    return b;
}

} // namespace

PasswordDialog::PasswordDialog(Mode mode, MessageBoxes &messages, const PublisherSettings &publisher,
                               QWidget *mainWindow, QWidget *parent)
    : QDialog(parent), mode_(mode), messages_(messages), publisher_(publisher), mainWindow_(mainWindow)
{
    setObjectName(u"passwordDialog"_s);
    Placement::centerOnFirstShow(this);
    setWindowTitle(u"Password Required"_s);
    setAccessibleName(windowTitle());
    // It opens before the main window gives the whole program its icon.
    ProgramIcon::applyTo(this, u"AAA"_s, false);
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    setModal(false);
    setFont(Fonts::verdana(8));
    setSizeGripEnabled(false);
    EscapeKey::doesNothingIn(this);

    // Created in tab order: the first control that takes the focus has it when the dialog first shows.
    promptLabel_ = wrappedLabel(this, u"promptLabel"_s, u"Please enter your password"_s);
    okButton_ = button(this, u"okButton"_s, u"Ok"_s);
    cancelButton_ = button(this, u"cancelButton"_s, u"Cancel"_s);
    passwordBox_ = new PasswordEdit(this);
    passwordBox_->setObjectName(u"passwordBox"_s);
    passwordBox_->setAccessibleName(u"Password"_s);
    passwordLabel_ = wrappedLabel(this, u"passwordLabel"_s, u"Password:"_s);
    retypeBox_ = new PasswordEdit(this);
    retypeBox_->setObjectName(u"retypeBox"_s);
    retypeBox_->setAccessibleName(u"Retype Password"_s);
    retypeLabel_ = wrappedLabel(this, u"retypeLabel"_s, u"Retype Password:"_s);
    passwordLabel_->setBuddy(passwordBox_);
    retypeLabel_->setBuddy(retypeBox_);
    setTabOrder(okButton_, cancelButton_);
    setTabOrder(cancelButton_, passwordBox_);
    setTabOrder(passwordBox_, retypeBox_);

    placeTwips(promptLabel_, 120, 60, 6615, 315);
    placeTwips(okButton_, 4500, 1260, 1095, 495);
    placeTwips(cancelButton_, 5700, 1260, 1035, 495);
    placeTwips(passwordBox_, 1740, 480, 4995, 315);
    placeTwips(passwordLabel_, 120, 540, 915, 255);
    placeTwips(retypeBox_, 1740, 2400, 4995, 315);
    placeTwips(retypeLabel_, 120, 2460, 1935, 255);
    setFixedWidth(Twips::toPixels(6825));

    hideTimer_ = new QTimer(this);
    hideTimer_->setObjectName(u"hideTimer"_s);
    hideTimer_->setInterval(100);
    connect(hideTimer_, &QTimer::timeout, this, &PasswordDialog::keepMainWindowHidden);
    hideTimer_->start();

    connect(okButton_, &QPushButton::clicked, this, &PasswordDialog::confirm);
    connect(cancelButton_, &QPushButton::clicked, this, &PasswordDialog::cancel);
    for (QLineEdit *box : {passwordBox_, retypeBox_}) {
        EnterKey::actsOncePerStroke(box);
        connect(box, &QLineEdit::returnPressed, this, &PasswordDialog::confirm);
    }

    load();
}

PasswordDialog::~PasswordDialog() = default;

void PasswordDialog::load()
{
    keepMainWindowHidden();
    failedTries_ = 0;
    if (mode_ == Mode::Create) {
        layOutCreateMode();
    } else {
        layOutEnterMode();
    }
    promptLabel_->setAccessibleName(promptLabel_->text());
    raise();
    Topmost::keepOnTop(this, true);
    passwordBox_->clear();
    if (publisher_.useSkin) {
        Skin::apply(this);
    }
}

void PasswordDialog::layOutCreateMode()
{
    promptLabel_->setText(u"Because this is the first time you have used "_s + publisher_.productName +
                          u", you will need to create a master password.  This password will be required to open "
                          u"the program from now on, and can not be reset.\r\n\r\nPlease enter a password that you "
                          u"will not forget."_s);
    promptLabel_->resize(promptLabel_->width(), Twips::toPixels(1500));
    // Worked out in twips: a position read back from pixels is off by up to 7 twips, and the sums would carry
    // that into the window height.
    const int passTop = 1700;
    const int retypeTop = passTop + heightTwips(passwordBox_) + 60;
    const int okTop = retypeTop + heightTwips(retypeBox_) + 60;
    moveTopTwips(passwordBox_, passTop);
    moveTopTwips(retypeBox_, retypeTop);
    moveTopTwips(okButton_, okTop);
    moveTopTwips(cancelButton_, okTop);
    moveTopTwips(retypeLabel_, retypeTop);
    retypeLabel_->setVisible(true);
    moveTopTwips(passwordLabel_, passTop);
    retypeBox_->setVisible(true);
    setOuterHeight(okTop + heightTwips(okButton_) + 60 + 500);
}

void PasswordDialog::layOutEnterMode()
{
    setOuterHeight(1845);
    promptLabel_->setText(u"Please enter your password"_s);
    moveTopTwips(passwordBox_, 360);
    moveTopTwips(okButton_, 780);
    moveTopTwips(cancelButton_, 780);
    retypeLabel_->setVisible(false);
    moveTopTwips(passwordLabel_, topTwips(passwordBox_));
    retypeBox_->setVisible(false);
}

void PasswordDialog::setOuterHeight(int twips)
{
    setFixedHeight(Twips::toPixels(twips - FrameTwips));
}

void PasswordDialog::keepMainWindowHidden()
{
    // The start-up never shows the main window before the vault is open, so there is nothing to hide; a window
    // that was never shown is left alone, so that hiding it does not make it known to the desktop either.
    if (mainWindow_ && mainWindow_->isVisible()) {
        mainWindow_->setVisible(false);
    }
}

void PasswordDialog::message(const QString &text)
{
    messages_.show(this, text, {}, MessageBoxes::Buttons::Ok);
}

void PasswordDialog::messageAboveTopmost(const QString &text)
{
    Topmost::keepOnTop(this, false);
    message(text);
    Topmost::keepOnTop(this, true);
}

void PasswordDialog::confirm()
{
    if (mode_ == Mode::Create) {
        createPassword();
    } else {
        checkPassword();
    }
}

void PasswordDialog::createPassword()
{
    if (passwordBox_->text().size() < 4) {
        messageAboveTopmost(u"You must enter a password that is at least 4 characters long"_s);
        return;
    }
    if (retypeBox_->text() != passwordBox_->text()) {
        Topmost::keepOnTop(this, false);
        message(u"Your passwords did not match.  Please try again."_s);
        retypeBox_->clear();
        passwordBox_->clear();
        Topmost::keepOnTop(this, true);
        return;
    }
    // A password that the vault file could not hold could never be typed back: refuse it now.
    if (const auto why = StorableText::whyNotMasterPassword(passwordBox_->text())) {
        messageAboveTopmost(*why);
        return;
    }
    hideTimer_->stop();
    emit passwordCreated(passwordBox_->text());
}

void PasswordDialog::checkPassword()
{
    // Stopped while the answer is worked out: a right password shows the main window before the dialog goes.
    hideTimer_->stop();
    emit passwordEntered(passwordBox_->text());
}

void PasswordDialog::rejectPassword()
{
    // The dialog is still up, so the main window stays hidden while the user answers.
    hideTimer_->start();
    const auto answer = messages_.show(this, u"Sorry, the password you entered was not correct."_s,
                                       u"Incorrect Password"_s, MessageBoxes::Buttons::RetryCancel);
    if (answer != MessageBoxes::Answer::Retry) {
        cancel();
        return;
    }
    ++failedTries_;
    if (failedTries_ == MaxTries) {
        message(u"Only 3 tries allowed.  Click Ok to close."_s);
        cancel();
        return;
    }
    passwordBox_->clear();
}

void PasswordDialog::cancel()
{
    hideTimer_->stop();
    emit cancelled();
}

void PasswordDialog::closeEvent(QCloseEvent *event)
{
    // The close box ends the program; the dialog stays until it has ended.
    cancel();
    event->ignore();
}
