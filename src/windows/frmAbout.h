#pragma once

#include <QDialog>

#include <array>
#include <vector>

class LinkLabel;
class Program;
class QLabel;

// The About window: the publisher's banner, the product name, version, owner and website, as the program's
// version information gives them when the window loads. The website line opens the publisher's website and
// leaves the window open. It has no buttons; its close box closes it.
class frmAbout final : public QDialog {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(frmAbout)

public:
    explicit frmAbout(Program &program, QWidget *parent = nullptr);
    ~frmAbout() override;

    void lblWebsite_Click();

    QLabel *Picture1 = nullptr;
    QLabel *Label1 = nullptr;
    std::array<QLabel *, 3> captionLabels{}; // "Version:", "Owned By:", "Website:"
    QLabel *lblVersion = nullptr;
    QLabel *lblCompany = nullptr;
    LinkLabel *lblWebsite = nullptr;
    // Skin-drawn copies of the labels, made only when the program is skinned; element 0 lies outside the window.
    std::vector<QLabel *> SkinLabel1;

protected:
    void keyPressEvent(QKeyEvent *event) override;

private:
    void buildControls();
    void Form_Load();
    void copyLabelsToSkinLabels();

    Program &program_;
};
