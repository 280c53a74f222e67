#pragma once

#include <QDialog>

#include <array>
#include <vector>

class LinkLabel;
class QLabel;
struct PublisherSettings;

// The About window: the publisher's banner, the product name, version, owner and website, as the program's
// version information gives them when the window loads. The website line opens the publisher's website and
// leaves the window open (websiteRequested()). It has no buttons; its close box closes it.
class AboutWindow final : public QDialog {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(AboutWindow)

public:
    explicit AboutWindow(const PublisherSettings &publisher, QWidget *parent = nullptr);
    ~AboutWindow() override;

signals:
    void websiteRequested();

private:
    void buildControls();
    void load(const PublisherSettings &publisher);
    void copyLabelsToSkinLabels();

    QLabel *banner_ = nullptr;
    QLabel *productLabel_ = nullptr;
    std::array<QLabel *, 3> captionLabels_{}; // "Version:", "Owned By:", "Website:"
    QLabel *versionLabel_ = nullptr;
    QLabel *companyLabel_ = nullptr;
    LinkLabel *websiteLink_ = nullptr;
    // Skin-drawn copies of the labels, made only when the program is skinned; element 0 lies outside the window.
    std::vector<QLabel *> skinLabels_;
};
