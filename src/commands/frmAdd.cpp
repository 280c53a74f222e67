#include "commands/frmAdd.h"

#include "shell/EntryListModel.h"
#include "shell/Program.h"
#include "vault/StorableText.h"
#include "vault/modGlobals.h"
#include "windows/Placement.h"
#include "windows/modSkin.h"

#include <QCloseEvent>
#include <QLabel>
#include <QLineEdit>
#include <QToolButton>

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
    QFont font(u"Verdana"_s);
    font.setPointSizeF(8.25);
    font.setBold(true);
    l->setFont(font);
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

QToolButton *pictureButton(QWidget *parent, const QString &name, const QString &caption, const QString &picture,
                           QRect geometry)
{
    auto *button = new QToolButton(parent);
    button->setObjectName(name);
    button->setText(caption);
    button->setAccessibleName(caption);
    button->setIcon(QIcon(picture));
    button->setIconSize(QSize(32, 32));
    button->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    button->setFocusPolicy(Qt::StrongFocus);
    button->setGeometry(geometry);
    return button;
}

} // namespace

frmAdd::frmAdd(Program &program, QWidget *parent) : QDialog(parent), program_(program)
{
    setObjectName(u"frmAdd"_s);
    Placement::CenterOnFirstShow(this);
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    setModal(false);
    setSizeGripEnabled(false);
    setFont(QFont(u"Verdana"_s, 8));
    setFixedSize(ClientSize);
    buildControls();
    Form_Load();
}

frmAdd::~frmAdd() = default;

void frmAdd::buildControls()
{
    // Created in tab order, so the dialog opens with the focus on Cancel.
    cmdDelete = pictureButton(this, u"cmdDelete"_s, u"Cancel"_s, u":/buttons/cancel.png"_s, {228, 100, 77, 69});
    cmdAdd = pictureButton(this, u"cmdAdd"_s, u"Save"_s, u":/buttons/save.png"_s, {8, 100, 77, 69});
    txtUsername = textBox(this, u"txtUsername"_s, u"Username"_s, {88, 4, 217, 21});
    txtPassword = textBox(this, u"txtPassword"_s, u"Password"_s, {88, 32, 217, 21});
    txtWebsite = textBox(this, u"txtWebsite"_s, u"Website"_s, {88, 60, 217, 21});
    SkinLabel1 = label(this, u"SkinLabel1"_s, u"Username:"_s, {8, 8, 77, 17});
    SkinLabel2 = label(this, u"SkinLabel2"_s, u"Password:"_s, {8, 36, 77, 17});
    SkinLabel3 = label(this, u"SkinLabel3"_s, u"Website:"_s, {8, 64, 77, 17});
    SkinLabel1->setBuddy(txtUsername);
    SkinLabel2->setBuddy(txtPassword);
    SkinLabel3->setBuddy(txtWebsite);
    setTabOrder(cmdDelete, cmdAdd);
    setTabOrder(cmdAdd, txtUsername);
    setTabOrder(txtUsername, txtPassword);
    setTabOrder(txtPassword, txtWebsite);
    cmdDelete->setFocus();

    connect(cmdAdd, &QToolButton::clicked, this, [this] { cmdAdd_Click(0); });
    connect(cmdDelete, &QToolButton::clicked, this, &frmAdd::cmdDelete_Click);
    // Enter saves from the website box only; in the other two it does nothing.
    connect(txtWebsite, &QLineEdit::returnPressed, this, [this] { cmdAdd_Click(0); });
}

void frmAdd::Form_Load()
{
    const EntryDialogRequest &request = program_.entryRequest;
    addMode_ = request.Mode == u"Add"_s;
    if (addMode_) {
        setWindowTitle(u"Add an entry"_s);
    } else {
        setWindowTitle(u"Edit an entry"_s);
        txtUsername->setText(request.Username);
        txtPassword->setText(request.Password);
        txtWebsite->setText(request.Location);
        // Show each value from its start, as a long one would otherwise open scrolled to its end.
        for (QLineEdit *box : {txtUsername, txtPassword, txtWebsite}) {
            box->setCursorPosition(0);
        }
        // Kept as a persistent index, which follows the entry through sorting and the removal of other rows.
        const EntryListModel &entries = program_.entries();
        if (request.RowIndex >= 1 && request.RowIndex <= entries.rowCount()) {
            editRow_ = QPersistentModelIndex(entries.index(int(request.RowIndex - 1), 0));
        }
    }
    setAccessibleName(windowTitle());
    if (program_.publisher().UseSkin) {
        modSkin::ApplySkin(this);
    }
}

qsizetype frmAdd::editedRow() const
{
    return !addMode_ && editRow_.isValid() ? editRow_.row() : -1;
}

void frmAdd::showError(const QString &text)
{
    program_.platform().messages.show(this, text, u"Error"_s, MessageBoxes::Buttons::Ok);
}

bool frmAdd::fieldsAreStorable()
{
    using StorableText::Kind;
    const std::pair<const QLineEdit *, Kind> fields[] = {
        {txtUsername, Kind::Username}, {txtPassword, Kind::Password}, {txtWebsite, Kind::Location}};
    for (const auto &[box, kind] : fields) {
        if (const auto why = StorableText::whyNot(box->text(), kind)) {
            showError(*why);
            return false;
        }
    }
    return true;
}

void frmAdd::cmdAdd_Click(int)
{
    if (txtUsername->text().isEmpty()) {
        showError(u"You must enter a username"_s);
        return;
    }
    if (txtPassword->text().isEmpty()) {
        showError(u"You must enter a password"_s);
        return;
    }
    if (!addMode_ && !editRow_.isValid()) {
        program_.platform().messages.show(
            this,
            u"The entry you were editing has been deleted, so there is nothing to save these changes into.\r\n\r\n"
            u"Your text is still here: copy anything you want to keep, then click Cancel to close this window."_s,
            {}, MessageBoxes::Buttons::Ok);
        return;
    }
    if (!fieldsAreStorable()) {
        return;
    }

    Entry entry = Entry::fromText(txtUsername->text(), txtPassword->text(), txtWebsite->text());
    EntryListModel &entries = program_.entries();
    if (addMode_) {
        entries.appendEntry(std::move(entry));
    } else {
        entries.setEntry(editRow_.row(), std::move(entry));
    }
    // A failed save has already told the user why and said so in the status bar. The change stays in the list and
    // the next save writes it, so the dialog closes either way, but only a real save is reported as one.
    if (program_.store().SaveVault()) {
        program_.SetStatusText(u"Added new entry.  Data saved."_s);
    }
    unload();
}

void frmAdd::cmdDelete_Click()
{
    unload();
}

void frmAdd::unload()
{
    if (program_.entryDialog.get() == this) {
        program_.entryDialog.unload();
    } else {
        hide();
        deleteLater();
    }
}

void frmAdd::closeEvent(QCloseEvent *event)
{
    // The close box is Cancel. QDialog would route it through reject(), which does nothing here.
    unload();
    event->accept();
}

