#include "windows/frmAbout.h"

#include "commands/EntryCommands.h"
#include "shell/Program.h"
#include "shell/Twips.h"
#include "windows/LinkLabel.h"
#include "windows/Placement.h"
#include "windows/modSkin.h"

#include <QKeyEvent>
#include <QLabel>

using namespace Qt::StringLiterals;

namespace {

// Design sizes in twips.
constexpr int ClientWidth = 7455;
constexpr int ClientHeight = 2535;

QFont verdana(qreal points, bool bold)
{
    QFont font(u"Verdana"_s);
    font.setPointSizeF(points);
    font.setBold(bold);
    return font;
}

template <class Label> Label *label(QWidget *parent, const QString &name, QRect twips, const QFont &font)
{
    auto *l = new Label(parent);
    l->setObjectName(name);
    l->setTextFormat(Qt::PlainText);
    l->setFont(font);
    l->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    l->setGeometry(Twips::rect(twips.x(), twips.y(), twips.width(), twips.height()));
    return l;
}

// A screen reader reads a value together with what it is: "Version: 1.2".
QString spoken(const QLabel *caption, const QString &value)
{
    return (caption->text() + u' ' + value).trimmed();
}

} // namespace

frmAbout::frmAbout(Program &program, QWidget *parent)
    : QDialog(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
      program_(program)
{
    setObjectName(u"frmAbout"_s);
    Placement::CenterOnFirstShow(this);
    setFont(verdana(8.25, false));
    setFixedSize(Twips::toPixels(ClientWidth), Twips::toPixels(ClientHeight));
    buildControls();
    Form_Load();
}

frmAbout::~frmAbout() = default;

void frmAbout::buildControls()
{
    Picture1 = new QLabel(this);
    Picture1->setObjectName(u"Picture1"_s);
    Picture1->setPixmap(QPixmap(u":/banner.png"_s));
    Picture1->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    Picture1->setGeometry(Twips::rect(0, 0, 7515, 1035));
    Picture1->setAccessibleName(u"Banner"_s);

    // A child of the banner with no background of its own: the banner shows through.
    Label1 = label<QLabel>(Picture1, u"Label1"_s, {120, 300, 5655, 435}, verdana(14.25, true));

    const QFont captionFont = verdana(12, true);
    const std::array<QString, 3> captions{u"Version:"_s, u"Owned By:"_s, u"Website:"_s};
    for (size_t i = 0; i < captions.size(); ++i) {
        const int top = 1260 + int(i) * 420;
        captionLabels[i] = label<QLabel>(this, u"Label%1"_s.arg(i + 2), {180, top, 2295, 315}, captionFont);
        captionLabels[i]->setText(captions[i]);
        captionLabels[i]->setAccessibleName(captions[i]);
    }
    lblVersion = label<QLabel>(this, u"lblVersion"_s, {2580, 1260, 4635, 315}, captionFont);
    lblCompany = label<QLabel>(this, u"lblCompany"_s, {2580, 1680, 4635, 315}, captionFont);
    lblWebsite = label<LinkLabel>(this, u"lblWebsite"_s, {2580, 2100, 4635, 315}, captionFont);
    QPalette blue = lblWebsite->palette();
    blue.setColor(QPalette::WindowText, Qt::blue);
    lblWebsite->setPalette(blue);
    lblWebsite->setAccessibleDescription(u"Opens the publisher's website"_s);
    connect(lblWebsite, &LinkLabel::activated, this, &frmAbout::lblWebsite_Click);

    // The website line is the only control that takes the focus; it gets it by Tab, not by opening the window,
    // so that an Enter meant for another window does not open the website.
    setFocusPolicy(Qt::StrongFocus);
    setFocus();
}

void frmAbout::Form_Load()
{
    const PublisherSettings &publisher = program_.publisher();
    setWindowTitle(u"About "_s + publisher.ProductName);
    setAccessibleName(windowTitle());

    Label1->setText(publisher.ProductName);
    lblCompany->setText(publisher.CompanyName);
    lblVersion->setText(QString::number(publisher.VersionMajor) + u'.' + QString::number(publisher.VersionMinor));
    lblWebsite->setText(publisher.PublisherUrl);
    lblVersion->setAccessibleName(spoken(captionLabels[0], lblVersion->text()));
    lblCompany->setAccessibleName(spoken(captionLabels[1], lblCompany->text()));
    lblWebsite->setAccessibleName(spoken(captionLabels[2], lblWebsite->text()));

    // After the texts are set, so that the skin-drawn labels carry them.
    if (publisher.UseSkin) {
        copyLabelsToSkinLabels();
        modSkin::ApplySkin(this);
    }
}

void frmAbout::copyLabelsToSkinLabels()
{
    QList<QLabel *> plainLabels;
    for (QLabel *l : findChildren<QLabel *>()) {
        if (modSkin::KindName(l) == u"Label"_s) {
            plainLabels.append(l);
        }
    }
    if (SkinLabel1.empty()) {
        QLabel *first = label<QLabel>(this, u"SkinLabel1_0"_s, {480, 2760, 555, 195}, font());
        first->setAttribute(Qt::WA_TransparentForMouseEvents);
        SkinLabel1.push_back(first);
    }
    for (QLabel *original : plainLabels) {
        auto *copy = new QLabel(original->parentWidget());
        copy->setObjectName(u"SkinLabel1_%1"_s.arg(SkinLabel1.size()));
        copy->setTextFormat(Qt::PlainText);
        copy->setAlignment(original->alignment());
        copy->setGeometry(original->geometry());
        copy->setFont(original->font());
        copy->setText(original->text());
        copy->setAccessibleName(original->accessibleName());
        copy->setHidden(original->isHidden());
        // The copy lies over its label: clicks go through to it, so the website line still opens the website.
        copy->setAttribute(Qt::WA_TransparentForMouseEvents);
        SkinLabel1.push_back(copy);
    }
}

void frmAbout::lblWebsite_Click()
{
    program_.commands().cmdWebsite_Click(0);
}

// The window has no Cancel button, so Escape does not close it; only its close box does.
void frmAbout::keyPressEvent(QKeyEvent *event)
{
    if (event->matches(QKeySequence::Cancel)) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}
