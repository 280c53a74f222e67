#pragma once

#include <QDialog>
#include <QPointer>

class QLabel;
class QLineEdit;
class QPushButton;
class QTimer;
class VaultStore;
struct Platform;
struct PublisherSettings;

// The gate of the program: in create mode the user types a new master password twice; in enter mode the stored
// one, with three tries. While it is up it stays above every window and keeps the main window hidden. It ends
// with the vault unlocked, or with the program.
class PasswordDialog final : public QDialog {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(PasswordDialog)

public:
    enum class Mode { Create, Enter };

    static constexpr int MaxTries = 3;
    // Title bar and frame, in twips, between the window's outer height and its inside.
    static constexpr int FrameTwips = 510;

    // `mainWindow` is kept hidden while the dialog is up; it may be null.
    PasswordDialog(Mode mode, VaultStore &store, Platform &platform, const PublisherSettings &publisher,
                   QWidget *mainWindow, QWidget *parent = nullptr);
    ~PasswordDialog() override;

    Mode mode() const { return mode_; }

    // Ok: creates the master password, or checks the typed one against the stored one.
    void confirm();
    // Cancel: ends the program.
    void cancel();
    // Runs at every tick of the dialog's timer.
    void keepMainWindowHidden();

    // The outer height the mode asks for, in twips.
    int outerHeightTwips() const { return outerHeightTwips_; }
    int failedTries() const { return failedTries_; }

    QLabel *promptLabel = nullptr;
    QLabel *passwordLabel = nullptr;
    QLabel *retypeLabel = nullptr;
    QLineEdit *passwordBox = nullptr;
    QLineEdit *retypeBox = nullptr;
    QPushButton *okButton = nullptr;
    QPushButton *cancelButton = nullptr;
    QTimer *hideTimer = nullptr;

public slots:
    // Escape is no cancel key here; only the window's own buttons and close box end it.
    void reject() override {}

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void load();
    void layOutCreateMode();
    void layOutEnterMode();
    void setOuterHeight(int twips);
    void createPassword();
    void checkPassword();
    void message(const QString &text);
    // A message box above the dialog, which is topmost itself until the box is answered.
    void messageAboveTopmost(const QString &text);
    void endProgram();

    Mode mode_;
    VaultStore &store_;
    Platform &platform_;
    const PublisherSettings &publisher_;
    QPointer<QWidget> mainWindow_;
    qint16 failedTries_ = 0;
    int outerHeightTwips_ = 0;
};
