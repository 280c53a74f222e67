#pragma once

#include <QDialog>
#include <QPersistentModelIndex>

class EntryListModel;
class MessageBoxes;
class PictureButton;
class QLabel;
class QLineEdit;
class VaultStore;
struct PublisherSettings;

// The entry dialog: the user types a new entry, or changes the one the Edit command opened it for. Save writes
// into the entry list and saves the vault; Cancel and the close box write nothing. The dialog is modeless, so the
// list may be sorted or lose rows while it is open: an edit follows its entry wherever it moves.
class EntryDialog final : public QDialog {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(EntryDialog)

public:
    // What the Add and Edit commands ask of the dialog. The dialog copies it when it loads; a later command changes
    // neither the mode nor the entry of a dialog that is open.
    struct Request {
        enum class Mode { Add, Edit };
        Mode mode = Mode::Add;
        qsizetype row = 0; // the row being edited, from 1
        QString username;
        QString password;
        QString location;
    };

    static constexpr QSize ClientSize{312, 174};

    EntryDialog(const Request &request, EntryListModel &entries, VaultStore &store, MessageBoxes &messages,
                const PublisherSettings &publisher, QWidget *parent = nullptr);
    ~EntryDialog() override;

    // Checks the fields, writes them into the list and saves the vault; then the dialog goes.
    void save();
    // Closes the dialog without writing anything.
    void cancel();

    bool isAddMode() const { return addMode_; }
    // The row (from 0) that an edit saves into, or -1 in add mode and once the entry was deleted.
    qsizetype editedRow() const;

    QLabel *usernameLabel = nullptr;
    QLabel *passwordLabel = nullptr;
    QLabel *websiteLabel = nullptr;
    QLineEdit *usernameBox = nullptr;
    QLineEdit *passwordBox = nullptr;
    QLineEdit *websiteBox = nullptr;
    PictureButton *saveButton = nullptr;
    PictureButton *cancelButton = nullptr;

signals:
    // A text for the main window's status bar.
    void statusMessage(const QString &text);
    // The dialog is done: whoever opened it destroys it.
    void unloadRequested();

public slots:
    // Escape has no meaning for this window.
    void reject() override {}

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void buildControls();
    void load(const Request &request);
    bool fieldsAreStorable();
    void showError(const QString &text);

    EntryListModel &entries_;
    VaultStore &store_;
    MessageBoxes &messages_;
    const PublisherSettings &publisher_;
    bool addMode_ = true;
    QPersistentModelIndex editRow_;
};
