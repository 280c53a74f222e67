#include "ui/AboutWindow.h"

#include "core/PublisherSettings.h"
#include "ui/Fonts.h"
#include "ui/LinkLabel.h"
#include "ui/Pictures.h"
#include "ui/Placement.h"
#include "ui/Skin.h"
#include "ui/Twips.h"

#include <QKeyEvent>
#include <QLabel>

using namespace Qt::StringLiterals;

namespace {

// Design sizes in twips.
constexpr int ClientWidth = 7455;
constexpr int ClientHeight = 2535;

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

AboutWindow::AboutWindow(const PublisherSettings &publisher, QWidget *parent)
    : QDialog(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint)
{
    setObjectName(u"aboutWindow"_s);
    Placement::centerOnFirstShow(this);
    setFont(Fonts::verdana(8.25));
    setFixedSize(Twips::toPixels(ClientWidth), Twips::toPixels(ClientHeight));
    buildControls();
    load(publisher);
}

AboutWindow::~AboutWindow() = default;

void AboutWindow::buildControls()
{
    banner = new QLabel(this);
    banner->setObjectName(u"banner"_s);
    banner->setPixmap(Pictures::forScreen(u":/banner.png"_s));
    banner->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    banner->setGeometry(Twips::rect(0, 0, 7515, 1035));
    banner->setAccessibleName(u"Banner"_s);

    // A child of the banner with no background of its own: the banner shows through.
    productLabel = label<QLabel>(banner, u"productLabel"_s, {120, 300, 5655, 435}, Fonts::verdana(14.25, true));

    const QFont captionFont = Fonts::verdana(12, true);
    const std::array<QString, 3> captions{u"Version:"_s, u"Owned By:"_s, u"Website:"_s};
    for (size_t i = 0; i < captions.size(); ++i) {
        const int top = 1260 + int(i) * 420;
        captionLabels[i] = label<QLabel>(this, u"captionLabel%1"_s.arg(i), {180, top, 2295, 315}, captionFont);
        captionLabels[i]->setText(captions[i]);
        captionLabels[i]->setAccessibleName(captions[i]);
    }
    versionLabel = label<QLabel>(this, u"versionLabel"_s, {2580, 1260, 4635, 315}, captionFont);
    companyLabel = label<QLabel>(this, u"companyLabel"_s, {2580, 1680, 4635, 315}, captionFont);
    websiteLink = label<LinkLabel>(this, u"websiteLink"_s, {2580, 2100, 4635, 315}, captionFont);
    QPalette blue = websiteLink->palette();
    blue.setColor(QPalette::WindowText, Qt::blue);
    websiteLink->setPalette(blue);
    websiteLink->setAccessibleDescription(u"Opens the publisher's website"_s);
    connect(websiteLink, &LinkLabel::activated, this, &AboutWindow::websiteRequested);

    // The website line is the only control that takes the focus; it gets it by Tab, not by opening the window,
    // so that an Enter meant for another window does not open the website.
    setFocusPolicy(Qt::StrongFocus);
    setFocus();
}

void AboutWindow::load(const PublisherSettings &publisher)
{
    setWindowTitle(u"About "_s + publisher.productName);
    setAccessibleName(windowTitle());

    productLabel->setText(publisher.productName);
    companyLabel->setText(publisher.companyName);
    versionLabel->setText(QString::number(publisher.versionMajor) + u'.' + QString::number(publisher.versionMinor));
    websiteLink->setText(publisher.publisherUrl);
    versionLabel->setAccessibleName(spoken(captionLabels[0], versionLabel->text()));
    companyLabel->setAccessibleName(spoken(captionLabels[1], companyLabel->text()));
    websiteLink->setAccessibleName(spoken(captionLabels[2], websiteLink->text()));

    // After the texts are set, so that the skin-drawn labels carry them.
    if (publisher.useSkin) {
        copyLabelsToSkinLabels();
        Skin::apply(this);
    }
}

void AboutWindow::copyLabelsToSkinLabels()
{
    QList<QLabel *> plainLabels;
    for (QLabel *l : findChildren<QLabel *>()) {
        if (Skin::kindName(l) == u"Label"_s) {
            plainLabels.append(l);
        }
    }
    if (skinLabels.empty()) {
        QLabel *first = label<QLabel>(this, u"skinLabel0"_s, {480, 2760, 555, 195}, font());
        first->setAttribute(Qt::WA_TransparentForMouseEvents);
        skinLabels.push_back(first);
    }
    for (QLabel *original : plainLabels) {
        auto *copy = new QLabel(original->parentWidget());
        copy->setObjectName(u"skinLabel%1"_s.arg(skinLabels.size()));
        copy->setTextFormat(Qt::PlainText);
        copy->setAlignment(original->alignment());
        copy->setGeometry(original->geometry());
        copy->setFont(original->font());
        copy->setText(original->text());
        copy->setAccessibleName(original->accessibleName());
        copy->setHidden(original->isHidden());
        // The copy lies over its label: clicks go through to it, so the website line still opens the website.
        copy->setAttribute(Qt::WA_TransparentForMouseEvents);
        skinLabels.push_back(copy);
    }
}

// The window has no Cancel button, so Escape does not close it; only its close box does.
void AboutWindow::keyPressEvent(QKeyEvent *event)
{
    if (event->matches(QKeySequence::Cancel)) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}
