#pragma once

#include <QDialog>

class Program;
class QLabel;
class QLineEdit;
class QPushButton;
class QTimer;

// The gate of the program: in create mode the user types a new master password twice; in enter mode the stored
// one, with three tries. While it is up it stays above every window and keeps the main window hidden. It ends
// with the vault unlocked, or with the program.
class frmPass final : public QDialog {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(frmPass)

public:
    static constexpr int MaxTries = 3;
    // Title bar and frame, in twips, between the window's outer height and its inside.
    static constexpr int FrameTwips = 510;

    explicit frmPass(Program &program, QWidget *parent = nullptr);
    ~frmPass() override;

    void cmdOK_Click();
    void cmdCancel_Click();
    void Timer1_Timer();

    // The outer height the mode asks for, in twips.
    int outerHeightTwips() const { return outerHeightTwips_; }
    int failedTries() const { return FailedTries; }

    QLabel *SkinLabel1 = nullptr;
    QLabel *SkinLabel2 = nullptr;
    QLabel *SkinLabel3 = nullptr;
    QLineEdit *txtPass = nullptr;
    QLineEdit *txtPass2 = nullptr;
    QPushButton *cmdOK = nullptr;
    QPushButton *cmdCancel = nullptr;
    QTimer *Timer1 = nullptr;

public slots:
    // Escape is no cancel key here; only the window's own buttons and close box end it.
    void reject() override {}

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void Form_Load();
    void layOutCreateMode();
    void layOutEnterMode();
    void setOuterHeight(int twips);
    void okCreateMode();
    void okEnterMode();
    void message(const QString &text);

    Program &program_;
    qint16 FailedTries = 0;
    int outerHeightTwips_ = 0;
};
