#include "ui/EntryDialog.h"

#include "core/EntryListModel.h"
#include "core/PublisherSettings.h"
#include "core/StorableText.h"
#include "core/VaultStore.h"
#include "platform/Platform.h"
#include "ui/EnterKey.h"
#include "ui/Fonts.h"
#include "ui/PictureButton.h"
#include "ui/Placement.h"
#include "ui/Skin.h"

#include <QCloseEvent>
#include <QLabel>
#include <QLineEdit>

#include <limits>

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
    // QLineEdit cuts text at 32767 characters by default; an entry read from the vault may be longer, and an edit
    // must not shorten it unasked.
    box->setMaxLength(std::numeric_limits<int>::max());
    box->setGeometry(geometry);
    return box;
}

} // namespace

EntryDialog::EntryDialog(const Request &request, EntryListModel &entries, VaultStore &store, MessageBoxes &messages,
                         const PublisherSettings &publisher, QWidget *parent)
    : QDialog(parent), entries_(entries), store_(store), messages_(messages), publisher_(publisher)
{
    setObjectName(u"entryDialog"_s);
    Placement::centerOnFirstShow(this);
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    setModal(false);
    setSizeGripEnabled(false);
    setFont(Fonts::verdana(8));
    setFixedSize(ClientSize);
    buildControls();
    load(request);
}

EntryDialog::~EntryDialog() = default;

void EntryDialog::buildControls()
{
    // Created in tab order, so the dialog opens with the focus on Cancel.
    cancelButton = new PictureButton(this, u"cancelButton"_s, u"Cancel"_s, u"cancel"_s, {228, 100, 77, 69});
    saveButton = new PictureButton(this, u"saveButton"_s, u"Save"_s, u"save"_s, {8, 100, 77, 69});
    usernameBox = textBox(this, u"usernameBox"_s, u"Username"_s, {88, 4, 217, 21});
    passwordBox = textBox(this, u"passwordBox"_s, u"Password"_s, {88, 32, 217, 21});
    websiteBox = textBox(this, u"websiteBox"_s, u"Website"_s, {88, 60, 217, 21});
    usernameLabel = label(this, u"usernameLabel"_s, u"Username:"_s, {8, 8, 77, 17});
    passwordLabel = label(this, u"passwordLabel"_s, u"Password:"_s, {8, 36, 77, 17});
    websiteLabel = label(this, u"websiteLabel"_s, u"Website:"_s, {8, 64, 77, 17});
    usernameLabel->setBuddy(usernameBox);
    passwordLabel->setBuddy(passwordBox);
    websiteLabel->setBuddy(websiteBox);
    setTabOrder(cancelButton, saveButton);
    setTabOrder(saveButton, usernameBox);
    setTabOrder(usernameBox, passwordBox);
    setTabOrder(passwordBox, websiteBox);
    cancelButton->setFocus();

    connect(saveButton, &QToolButton::clicked, this, &EntryDialog::save);
    connect(cancelButton, &QToolButton::clicked, this, &EntryDialog::cancel);
    // Enter saves from the website box only; in the other two it does nothing.
    EnterKey::actsOncePerStroke(websiteBox);
    connect(websiteBox, &QLineEdit::returnPressed, this, &EntryDialog::save);
}

void EntryDialog::load(const Request &request)
{
    addMode_ = request.mode == Request::Mode::Add;
    if (addMode_) {
        setWindowTitle(u"Add an entry"_s);
    } else {
        setWindowTitle(u"Edit an entry"_s);
        usernameBox->setText(request.username);
        passwordBox->setText(request.password);
        websiteBox->setText(request.location);
        // Show each value from its start, as a long one would otherwise open scrolled to its end.
        for (QLineEdit *box : {usernameBox, passwordBox, websiteBox}) {
            box->setCursorPosition(0);
        }
        // Kept as a persistent index, which follows the entry through sorting and the removal of other rows.
        if (request.row >= 1 && request.row <= entries_.rowCount()) {
            editRow_ = QPersistentModelIndex(entries_.index(int(request.row - 1), 0));
        }
    }
    setAccessibleName(windowTitle());
    if (publisher_.useSkin) {
        Skin::apply(this);
    }
}

qsizetype EntryDialog::editedRow() const
{
    return !addMode_ && editRow_.isValid() ? editRow_.row() : -1;
}

void EntryDialog::showError(const QString &text)
{
    messages_.show(this, text, u"Error"_s, MessageBoxes::Buttons::Ok);
}

bool EntryDialog::fieldsAreStorable()
{
    using StorableText::Kind;
    const std::pair<const QLineEdit *, Kind> fields[] = {
        {usernameBox, Kind::Username}, {passwordBox, Kind::Password}, {websiteBox, Kind::Location}};
    for (const auto &[box, kind] : fields) {
        if (const auto why = StorableText::whyNot(box->text(), kind)) {
            showError(*why);
            return false;
        }
    }
    return true;
}

void EntryDialog::save()
{
    if (usernameBox->text().isEmpty()) {
        showError(u"You must enter a username"_s);
        return;
    }
    if (passwordBox->text().isEmpty()) {
        showError(u"You must enter a password"_s);
        return;
    }
    if (!addMode_ && !editRow_.isValid()) {
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

    Entry entry = Entry::fromText(usernameBox->text(), passwordBox->text(), websiteBox->text());
    if (addMode_) {
        entries_.appendEntry(std::move(entry));
    } else {
        entries_.setEntry(editRow_.row(), std::move(entry));
    }
    // A failed save has already told the user why and said so in the status bar. The change stays in the list and
    // the next save writes it, so the dialog closes either way, but only a real save is reported as one.
    if (store_.save()) {
        emit statusMessage(u"Added new entry.  Data saved."_s);
    }
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
