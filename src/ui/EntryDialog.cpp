#include "ui/EntryDialog.h"

#include "core/PublisherSettings.h"
#include "core/StorableText.h"
#include "platform/Platform.h"
#include "ui/EnterKey.h"
#include "ui/EscapeKey.h"
#include "ui/Fonts.h"
#include "ui/KeptValue.h"
#include "ui/PictureButton.h"
#include "ui/Placement.h"
#include "ui/SecretTextBox.h"
#include "ui/Skin.h"

#include <QCloseEvent>
#include <QLabel>
#include <QLineEdit>

#include <limits>
#include <tuple>

using namespace Qt::StringLiterals;

namespace {

QLabel *label(QWidget *parent, const QString &name, const QString &text, QRect geometry)
{
    auto *l = new QLabel(text, parent);
    l->setObjectName(name);
    l->setAccessibleName(text);
    l->setTextFormat(Qt::PlainText);
    l->setFocusPolicy(Qt::NoFocus);
    l->setFont(Fonts::verdana(8.25, true));
    l->setGeometry(geometry);
    return l;
}

QLineEdit *textBox(QWidget *parent, const QString &name, const QString &accessibleName, QRect geometry)
{
    auto *box = new QLineEdit(parent);
    box->setObjectName(name);
    box->setAccessibleName(accessibleName);
    // QLineEdit cuts text at 32767 characters by default; a longer value that the user pastes must not be
    // shortened unasked. (A longer value read from the vault is kept whole apart from the box: KeptValue.)
    box->setMaxLength(std::numeric_limits<int>::max());
    box->setGeometry(geometry);
    return box;
}

} // namespace

EntryDialog::EntryDialog(const EntryRequest &request, MessageBoxes &messages, const PublisherSettings &publisher,
                         QWidget *parent)
    : QDialog(parent), messages_(messages), publisher_(publisher), request_(request)
{
    setObjectName(u"entryDialog"_s);
    Placement::centerOnFirstShow(this);
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    setModal(false);
    setSizeGripEnabled(false);
    setFont(Fonts::verdana(8));
    setFixedSize(ClientSize);
    EscapeKey::doesNothingIn(this);
    buildControls();
    load(request);
}

EntryDialog::~EntryDialog() = default;

void EntryDialog::buildControls()
{
    // Created in tab order, so the dialog opens with the focus on Cancel.
    cancelButton_ = new PictureButton(this, u"cancelButton"_s, u"Cancel"_s, u"cancel"_s, {228, 100, 77, 69});
    saveButton_ = new PictureButton(this, u"saveButton"_s, u"Save"_s, u"save"_s, {8, 100, 77, 69});
    usernameBox_ = textBox(this, u"usernameBox"_s, u"Username"_s, {88, 4, 217, 21});
    passwordBox_ = textBox(this, u"passwordBox"_s, u"Password"_s, {88, 32, 217, 21});
    websiteBox_ = textBox(this, u"websiteBox"_s, u"Website"_s, {88, 60, 217, 21});
    SecretTextBox::guard(passwordBox_); // it shows the password in clear
    usernameLabel_ = label(this, u"usernameLabel"_s, u"Username:"_s, {8, 8, 77, 17});
    passwordLabel_ = label(this, u"passwordLabel"_s, u"Password:"_s, {8, 36, 77, 17});
    websiteLabel_ = label(this, u"websiteLabel"_s, u"Website:"_s, {8, 64, 77, 17});
    usernameLabel_->setBuddy(usernameBox_);
    passwordLabel_->setBuddy(passwordBox_);
    websiteLabel_->setBuddy(websiteBox_);
    setTabOrder(cancelButton_, saveButton_);
    setTabOrder(saveButton_, usernameBox_);
    setTabOrder(usernameBox_, passwordBox_);
    setTabOrder(passwordBox_, websiteBox_);
    cancelButton_->setFocus();

    connect(saveButton_, &QToolButton::clicked, this, &EntryDialog::save);
    connect(cancelButton_, &QToolButton::clicked, this, &EntryDialog::cancel);
    // Enter saves from the website box only; in the other two it does nothing.
    EnterKey::actsOncePerStroke(websiteBox_);
    connect(websiteBox_, &QLineEdit::returnPressed, this, &EntryDialog::save);
}

void EntryDialog::load(const EntryRequest &request)
{
    if (isAddMode()) {
        setWindowTitle(u"Add an entry"_s);
    } else {
        setWindowTitle(u"Edit an entry"_s);
        QStringList kept;
        const std::tuple<QLineEdit *, const QString &, QString> values[] = {
            {usernameBox_, request.username, u"username"_s},
            {passwordBox_, request.password, u"password"_s},
            {websiteBox_, request.location, u"website"_s}};
        for (const auto &[box, value, name] : values) {
            if (KeptValue::put(box, value)) {
                kept.append(name);
            }
            // Show each value from its start, as a long one would otherwise open scrolled to its end.
            box->setCursorPosition(0);
        }
        // Between the Save and Cancel buttons.
        KeptValue::explain(this, kept, {88, 100, 137, 69});
    }
    setAccessibleName(windowTitle());
    if (publisher_.useSkin) {
        Skin::apply(this);
    }
}

qsizetype EntryDialog::editedRow() const
{
    return !isAddMode() && request_.entry.isValid() ? request_.entry.row() : -1;
}

void EntryDialog::showError(const QString &text)
{
    messages_.show(this, text, u"Error"_s, MessageBoxes::Buttons::Ok);
}

bool EntryDialog::fieldsAreStorable()
{
    const std::tuple<const QLineEdit *, Entry::Field, const QString &> fields[] = {
        {usernameBox_, Entry::Username, request_.username},
        {passwordBox_, Entry::Password, request_.password},
        {websiteBox_, Entry::Location, request_.location}};
    for (const auto &[box, field, read] : fields) {
        const QString text = KeptValue::textOf(box);
        // A value read from the vault and left as it was goes back as it was read, even one that typed text could
        // not be (a location that holds "|||"): only typed text is checked.
        if (!isAddMode() && text == read) {
            continue;
        }
        if (const auto why = StorableText::whyNot(text, field)) {
            showError(*why);
            return false;
        }
    }
    return true;
}

void EntryDialog::save()
{
    if (KeptValue::textOf(usernameBox_).isEmpty()) {
        showError(u"You must enter a username"_s);
        return;
    }
    if (KeptValue::textOf(passwordBox_).isEmpty()) {
        showError(u"You must enter a password"_s);
        return;
    }
    if (!isAddMode() && !request_.entry.isValid()) {
        messages_.show(
            this,
            u"The entry you were editing has been deleted, so there is nothing to save these changes into.\r\n\r\n"
            u"Your text is still here: copy anything you want to keep, then click Cancel to close this window."_s,
            {}, MessageBoxes::Buttons::Ok);
        return;
    }
    if (!fieldsAreStorable()) {
        return;
    }

    // Whatever the save comes to, the change stays in the list and the next save writes it: the dialog goes.
    emit saveRequested(request_, KeptValue::textOf(usernameBox_), KeptValue::textOf(passwordBox_),
                       KeptValue::textOf(websiteBox_));
    emit unloadRequested();
}

void EntryDialog::cancel()
{
    emit unloadRequested();
}

void EntryDialog::closeEvent(QCloseEvent *event)
{
    // The close box is Cancel. QDialog would route it through reject(), which does nothing here.
    emit unloadRequested();
    event->accept();
}
