#pragma once

#include <QDialog>
#include <QPointer>

class QLabel;
class QLineEdit;
class QPushButton;
class QTimer;
class MessageBoxes;
struct PublisherSettings;

// The gate of the program: in create mode the user types a new master password twice; in enter mode the stored
// one, with three tries. While it is up it stays above every window and keeps the main window hidden. It checks
// only what a new password must be; whoever opened it decides what the typed password opens.
class PasswordDialog final : public QDialog {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(PasswordDialog)

public:
    enum class Mode { Create, Enter };

    static constexpr int MaxTries = 3;
    // Title bar and frame, in twips, between the window's outer height and its inside.
    static constexpr int FrameTwips = 510;

    // `mainWindow` is kept hidden while the dialog is up; it may be null. Whoever shows the dialog lets pending
    // window events run first: the load itself runs none.
    PasswordDialog(Mode mode, MessageBoxes &messages, const PublisherSettings &publisher, QWidget *mainWindow,
                   QWidget *parent = nullptr);
    ~PasswordDialog() override;

    // Ok: a new password that may be stored is passwordCreated(); a typed one is passwordEntered().
    void confirm();
    // Cancel: the program ends (cancelled()).
    void cancel();
    // The password of passwordEntered() was not the stored one: Retry or Cancel, and the third wrong try ends.
    void rejectPassword();
    // Runs at every tick of the dialog's timer.
    void keepMainWindowHidden();

signals:
    // Create mode: a new password, typed twice alike, that the vault file can hold.
    void passwordCreated(const QString &password);
    // Enter mode: the password as typed; a wrong one is answered with rejectPassword().
    void passwordEntered(const QString &password);
    // Cancel, the close box, or the end of the tries: the program ends.
    void cancelled();

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

    Mode mode_;
    MessageBoxes &messages_;
    const PublisherSettings &publisher_;
    QLabel *promptLabel_ = nullptr;
    QLabel *passwordLabel_ = nullptr;
    QLabel *retypeLabel_ = nullptr;
    QLineEdit *passwordBox_ = nullptr;
    QLineEdit *retypeBox_ = nullptr;
    QPushButton *okButton_ = nullptr;
    QPushButton *cancelButton_ = nullptr;
    QTimer *hideTimer_ = nullptr;
    QPointer<QWidget> mainWindow_;
    qint16 failedTries_ = 0;
};
