#pragma once

#include <QDialog>

class Program;
class QCheckBox;
class QTextBrowser;

// The help window: shows Help.rtf from the program's folder, floating above every other window, with the check
// box that decides whether it opens at start. Without the help file it loads but declines to be shown.
class Form8 final : public QDialog {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(Form8)

public:
    // Help files larger than this are not shown: the window opens without help text.
    static constexpr qint64 MaxHelpFileBytes = 64 * 1024 * 1024;

    // Loading runs the load steps: skin, look for the help file, show it, topmost, the start-up setting.
    explicit Form8(Program &program, QWidget *parent = nullptr);
    ~Form8() override;

    // False when the help file was missing at load: the window stays hidden.
    bool showAfterLoad() const { return helpFileFound_; }

    // Writes the box's state to the start-up setting at once: "1" ticked, "0" not.
    void Check1_Click();

    QTextBrowser *rtf1 = nullptr;
    QCheckBox *Check1 = nullptr;

protected:
    void keyPressEvent(QKeyEvent *event) override;

private:
    void buildControls();
    void Form_Load();
    void loadHelpFile(const QString &path);
    void readStartupSetting();

    Program &program_;
    bool helpFileFound_ = false;
};
