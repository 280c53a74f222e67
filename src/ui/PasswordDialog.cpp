#include "ui/PasswordDialog.h"

#include "core/PublisherSettings.h"
#include "core/StorableText.h"
#include "core/VaultStore.h"
#include "platform/Platform.h"
#include "ui/EnterKey.h"
#include "ui/Fonts.h"
#include "ui/PasswordEdit.h"
#include "ui/Placement.h"
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
    // Neither is the window's default button: Enter presses the focused button, and in a box runs Ok through the
    // box's own rule.
    b->setAutoDefault(false);
    b->setDefault(false);
    EnterKey::pressesButton(b);
    return b;
}

} // namespace

PasswordDialog::PasswordDialog(Mode mode, VaultStore &store, Platform &platform, const PublisherSettings &publisher,
                               QWidget *mainWindow, QWidget *parent)
    : QDialog(parent), mode_(mode), store_(store), platform_(platform), publisher_(publisher), mainWindow_(mainWindow)
{
    setObjectName(u"passwordDialog"_s);
    Placement::centerOnFirstShow(this);
    setWindowTitle(u"Password Required"_s);
    setAccessibleName(windowTitle());
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    setModal(false);
    setFont(Fonts::verdana(8));
    setSizeGripEnabled(false);

    // Created in tab order: the first control that takes the focus has it when the dialog first shows.
    promptLabel = label(this, u"promptLabel"_s, u"Please enter your password"_s);
    okButton = button(this, u"okButton"_s, u"Ok"_s);
    cancelButton = button(this, u"cancelButton"_s, u"Cancel"_s);
    passwordBox = new PasswordEdit(this);
    passwordBox->setObjectName(u"passwordBox"_s);
    passwordBox->setAccessibleName(u"Password"_s);
    passwordLabel = label(this, u"passwordLabel"_s, u"Password:"_s);
    retypeBox = new PasswordEdit(this);
    retypeBox->setObjectName(u"retypeBox"_s);
    retypeBox->setAccessibleName(u"Retype Password"_s);
    retypeLabel = label(this, u"retypeLabel"_s, u"Retype Password:"_s);
    passwordLabel->setBuddy(passwordBox);
    retypeLabel->setBuddy(retypeBox);
    setTabOrder(okButton, cancelButton);
    setTabOrder(cancelButton, passwordBox);
    setTabOrder(passwordBox, retypeBox);

    placeTwips(promptLabel, 120, 60, 6615, 315);
    placeTwips(okButton, 4500, 1260, 1095, 495);
    placeTwips(cancelButton, 5700, 1260, 1035, 495);
    placeTwips(passwordBox, 1740, 480, 4995, 315);
    placeTwips(passwordLabel, 120, 540, 915, 255);
    placeTwips(retypeBox, 1740, 2400, 4995, 315);
    placeTwips(retypeLabel, 120, 2460, 1935, 255);
    setFixedWidth(Twips::toPixels(6825));

    hideTimer = new QTimer(this);
    hideTimer->setObjectName(u"hideTimer"_s);
    hideTimer->setInterval(100);
    connect(hideTimer, &QTimer::timeout, this, &PasswordDialog::keepMainWindowHidden);
    hideTimer->start();

    connect(okButton, &QPushButton::clicked, this, &PasswordDialog::confirm);
    connect(cancelButton, &QPushButton::clicked, this, &PasswordDialog::cancel);
    for (QLineEdit *box : {passwordBox, retypeBox}) {
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
    promptLabel->setAccessibleName(promptLabel->text());
    raise();
    Topmost::setTopmost(this, true);
    platform_.events.processEvents();
    passwordBox->clear();
    if (publisher_.useSkin) {
        Skin::apply(this);
    }
}

void PasswordDialog::layOutCreateMode()
{
    promptLabel->setText(u"Because this is the first time you have used "_s + publisher_.productName +
                         u", you will need to create a master password.  This password will be required to open "
                         u"the program from now on, and can not be reset.\r\n\r\nPlease enter a password that you "
                         u"will not forget."_s);
    promptLabel->resize(promptLabel->width(), Twips::toPixels(1500));
    // Worked out in twips: a position read back from pixels is off by up to 7 twips, and the sums would carry
    // that into the window height.
    const int passTop = 1700;
    const int retypeTop = passTop + heightTwips(passwordBox) + 60;
    const int okTop = retypeTop + heightTwips(retypeBox) + 60;
    moveTopTwips(passwordBox, passTop);
    moveTopTwips(retypeBox, retypeTop);
    moveTopTwips(okButton, okTop);
    moveTopTwips(cancelButton, okTop);
    moveTopTwips(retypeLabel, retypeTop);
    retypeLabel->setVisible(true);
    moveTopTwips(passwordLabel, passTop);
    retypeBox->setVisible(true);
    setOuterHeight(okTop + heightTwips(okButton) + 60 + 500);
}

void PasswordDialog::layOutEnterMode()
{
    setOuterHeight(1845);
    promptLabel->setText(u"Please enter your password"_s);
    moveTopTwips(passwordBox, 360);
    moveTopTwips(okButton, 780);
    moveTopTwips(cancelButton, 780);
    retypeLabel->setVisible(false);
    moveTopTwips(passwordLabel, topTwips(passwordBox));
    retypeBox->setVisible(false);
}

void PasswordDialog::setOuterHeight(int twips)
{
    outerHeightTwips_ = twips;
    setFixedHeight(Twips::toPixels(twips - FrameTwips));
}

void PasswordDialog::keepMainWindowHidden()
{
    if (mainWindow_) {
        mainWindow_->setVisible(false);
    }
}

void PasswordDialog::message(const QString &text)
{
    platform_.messages.show(this, text, {}, MessageBoxes::Buttons::Ok);
}

void PasswordDialog::messageAboveTopmost(const QString &text)
{
    Topmost::setTopmost(this, false);
    message(text);
    Topmost::setTopmost(this, true);
}

void PasswordDialog::endProgram()
{
    hideTimer->stop();
    platform_.end.endProgram();
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
    if (passwordBox->text().size() < 4) {
        messageAboveTopmost(u"You must enter a password that is at least 4 characters long"_s);
        return;
    }
    if (retypeBox->text() != passwordBox->text()) {
        Topmost::setTopmost(this, false);
        message(u"Your passwords did not match.  Please try again."_s);
        retypeBox->clear();
        passwordBox->clear();
        Topmost::setTopmost(this, true);
        return;
    }
    // A password that the vault file could not hold could never be typed back: refuse it now.
    if (const auto why = StorableText::whyNot(passwordBox->text(), StorableText::Kind::MasterPassword)) {
        messageAboveTopmost(*why);
        return;
    }
    store_.setMasterPassword(passwordBox->text());
    hideTimer->stop();
    store_.createMasterPassword();
}

void PasswordDialog::checkPassword()
{
    if (passwordBox->text() == store_.storedPassword()) {
        store_.setMasterPassword(store_.storedPassword());
        hideTimer->stop();
        store_.load();
        return;
    }
    const auto answer = platform_.messages.show(this, u"Sorry, the password you entered was not correct."_s,
                                                u"Incorrect Password"_s, MessageBoxes::Buttons::RetryCancel);
    if (answer == MessageBoxes::Answer::Retry) {
        ++failedTries_;
        if (failedTries_ == MaxTries) {
            message(u"Only 3 tries allowed.  Click Ok to close."_s);
            endProgram();
            return;
        }
        passwordBox->clear();
        return;
    }
    endProgram();
}

void PasswordDialog::cancel()
{
    endProgram();
}

void PasswordDialog::closeEvent(QCloseEvent *event)
{
    // Closing the gate before a password was accepted ends the program.
    if (store_.masterPassword().isEmpty()) {
        platform_.end.endProgram();
    }
    QDialog::closeEvent(event);
}
