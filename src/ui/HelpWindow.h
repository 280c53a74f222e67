#pragma once

#include <QDialog>

#include <memory>

class QCheckBox;
class QTextBrowser;
class QTextDocument;
struct PublisherSettings;

// The help window: shows the help text it is given, floating above every other window, with the check box that
// decides whether it opens at start. Without help text (no help file) it loads but declines to be shown.
class HelpWindow final : public QDialog {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(HelpWindow)

public:
    // Loading runs the load steps: skin, show the help text, topmost. `help` is the help file's text, which the window
    // keeps; null where there is no help file.
    HelpWindow(std::unique_ptr<QTextDocument> help, const PublisherSettings &publisher, QWidget *parent = nullptr);
    ~HelpWindow() override;

    // False when there was no help file at load: the window stays hidden.
    bool showAfterLoad() const { return helpFound_; }

    // The last load step: the start-up setting onto the box, which starts ticked. A change emits
    // showAtStartupChanged(), as every later one does.
    void setShowAtStartup(bool show);

signals:
    // The box's new state, to be written to the start-up setting at once.
    void showAtStartupChanged(bool show);

private:
    void buildControls();
    void load(std::unique_ptr<QTextDocument> help);

    const PublisherSettings &publisher_;
    bool helpFound_ = false;
    QTextBrowser *helpView_ = nullptr;
    QCheckBox *showAtStartupBox_ = nullptr;
};
