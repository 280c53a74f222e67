#include "ui/AboutWindow.h"

#include "core/PublisherSettings.h"
#include "ui/EscapeKey.h"
#include "ui/Fonts.h"
#include "ui/LinkLabel.h"
#include "ui/Pictures.h"
#include "ui/Placement.h"
#include "ui/Skin.h"
#include "ui/Twips.h"

#include <QLabel>

using namespace Qt::StringLiterals;

namespace {

// Design sizes in twips.
constexpr int AboutClientWidth = 7455;
constexpr int AboutClientHeight = 2535;

template <class Label> Label *placedLabel(QWidget *parent, const QString &name, QRect twips, const QFont &font)
{
    auto *l = new Label(parent);
    l->setObjectName(name);
    l->setTextFormat(Qt::PlainText);
    l->setFont(font);
    l->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    l->setGeometry(Twips::rect(twips));
    return l;
}

} // namespace

AboutWindow::AboutWindow(const PublisherSettings &publisher, QWidget *parent)
    : QDialog(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint)
{
    setObjectName(u"aboutWindow"_s);
    Placement::centerOnFirstShow(this);
    setFont(Fonts::verdana(8.25));
    setFixedSize(Twips::toPixels(AboutClientWidth), Twips::toPixels(AboutClientHeight));
    EscapeKey::doesNothingIn(this);
    buildControls();
    load(publisher);
}

AboutWindow::~AboutWindow() = default;

void AboutWindow::buildControls()
{
    banner_ = new QLabel(this);
    banner_->setObjectName(u"banner"_s);
    banner_->setPixmap(Pictures::forScreen(u":/banner.png"_s));
    banner_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    banner_->setGeometry(Twips::rect(0, 0, 7515, 1035));
    banner_->setAccessibleName(u"Banner"_s);

    // A child of the banner with no background of its own: the banner shows through.
    productLabel_ = placedLabel<QLabel>(banner_, u"productLabel"_s, {120, 300, 5655, 435}, Fonts::verdana(14.25, true));

    const QFont captionFont = Fonts::verdana(12, true);
    const std::array<QString, 3> captions{u"Version:"_s, u"Owned By:"_s, u"Website:"_s};
    for (size_t i = 0; i < captions.size(); ++i) {
        const int top = 1260 + int(i) * 420;
        captionLabels_[i] = placedLabel<QLabel>(this, u"captionLabel%1"_s.arg(i), {180, top, 2295, 315}, captionFont);
        captionLabels_[i]->setText(captions[i]);
        captionLabels_[i]->setAccessibleName(captions[i]);
    }
    versionLabel_ = placedLabel<QLabel>(this, u"versionLabel"_s, {2580, 1260, 4635, 315}, captionFont);
    companyLabel_ = placedLabel<QLabel>(this, u"companyLabel"_s, {2580, 1680, 4635, 315}, captionFont);
    websiteLink_ = placedLabel<LinkLabel>(this, u"websiteLink"_s, {2580, 2100, 4635, 315}, captionFont);
    QPalette blue = websiteLink_->palette();
    blue.setColor(QPalette::WindowText, Qt::blue);
    websiteLink_->setPalette(blue);
    websiteLink_->setAccessibleDescription(u"Opens the publisher's website"_s);
    connect(websiteLink_, &LinkLabel::activated, this, &AboutWindow::websiteRequested);

    // The website line is the only control that takes the focus; it gets it by Tab, not by opening the window,
    // so that an Enter meant for another window does not open the website.
    setFocusPolicy(Qt::StrongFocus);
    setFocus();
}

void AboutWindow::load(const PublisherSettings &publisher)
{
    setWindowTitle(u"About "_s + publisher.productName);
    setAccessibleName(windowTitle());

    productLabel_->setText(publisher.productName);
    companyLabel_->setText(publisher.companyName);
    versionLabel_->setText(QString::number(publisher.versionMajor) + u'.' + QString::number(publisher.versionMinor));
    websiteLink_->setText(publisher.publisherUrl);
    // A screen reader hears the window whole as it opens, from its description. Each caption labels its value, so
    // that a reader going over the window says "Version: 1.2" and not the caption twice.
    setAccessibleDescription(publisher.productName + u", version "_s + versionLabel_->text() + u", owned by "_s +
                             publisher.companyName + u", website "_s + publisher.publisherUrl);
    const std::array<QLabel *, 3> values{versionLabel_, companyLabel_, websiteLink_};
    for (size_t i = 0; i < values.size(); ++i) {
        values[i]->setAccessibleName(values[i]->text());
        captionLabels_[i]->setBuddy(values[i]);
    }

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
    if (skinLabels_.empty()) {
        QLabel *first = placedLabel<QLabel>(this, u"skinLabel0"_s, {480, 2760, 555, 195}, font());
        first->setAttribute(Qt::WA_TransparentForMouseEvents);
        skinLabels_.push_back(first);
    }
    for (QLabel *original : plainLabels) {
        auto *copy = new QLabel(original->parentWidget());
        copy->setObjectName(u"skinLabel%1"_s.arg(skinLabels_.size()));
        copy->setTextFormat(Qt::PlainText);
        copy->setAlignment(original->alignment());
        copy->setGeometry(original->geometry());
        copy->setFont(original->font());
        copy->setText(original->text());
        copy->setAccessibleName(original->accessibleName());
        copy->setHidden(original->isHidden());
        // The copy lies over its label: clicks go through to it, so the website line still opens the website.
        copy->setAttribute(Qt::WA_TransparentForMouseEvents);
        skinLabels_.push_back(copy);
    }
}
