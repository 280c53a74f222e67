#pragma once

#include "core/EntryRequest.h"

#include <QDialog>

class MessageBoxes;
class PictureButton;
class QLabel;
class QLineEdit;
struct PublisherSettings;

// The entry dialog: the user types a new entry, or changes the one the Edit command opened it for. Save hands the
// three texts, once they can be stored, to whoever opened the dialog (saveRequested()); Cancel and the close box
// hand nothing. The dialog is modeless, so the list may be sorted or lose rows while it is open: the request
// follows its entry wherever it moves.
class EntryDialog final : public QDialog {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(EntryDialog)

public:
    static constexpr QSize ClientSize{312, 174};

    EntryDialog(const EntryRequest &request, MessageBoxes &messages, const PublisherSettings &publisher,
                QWidget *parent = nullptr);
    ~EntryDialog() override;

    // Checks the fields and hands them on (saveRequested()); then the dialog goes.
    void save();
    // Closes the dialog without writing anything.
    void cancel();

    bool isAddMode() const { return request_.mode == EntryRequest::Mode::Add; }
    // The row (from 0) that an edit saves into, or -1 in add mode and once the entry was deleted.
    qsizetype editedRow() const;

signals:
    // Save with fields that can be stored: the entry of `request` (or a new one) is to hold these texts.
    void saveRequested(const EntryRequest &request, const QString &username, const QString &password,
                       const QString &location);
    // The dialog is done: whoever opened it destroys it.
    void unloadRequested();

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void buildControls();
    void load(const EntryRequest &request);
    bool fieldsAreStorable();
    void showError(const QString &text);

    MessageBoxes &messages_;
    const PublisherSettings &publisher_;
    EntryRequest request_;
    QLabel *usernameLabel_ = nullptr;
    QLabel *passwordLabel_ = nullptr;
    QLabel *websiteLabel_ = nullptr;
    QLineEdit *usernameBox_ = nullptr;
    QLineEdit *passwordBox_ = nullptr;
    QLineEdit *websiteBox_ = nullptr;
    PictureButton *saveButton_ = nullptr;
    PictureButton *cancelButton_ = nullptr;
};
