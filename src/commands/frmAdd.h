#pragma once

#include <QDialog>
#include <QPersistentModelIndex>

class Program;
class QLabel;
class QLineEdit;
class QToolButton;

// The entry dialog: the user types a new entry, or changes the one the Edit command opened it for. Save writes
// into the entry list and saves the vault; Cancel and the close box write nothing. The dialog is modeless, so the
// list may be sorted or lose rows while it is open: an edit follows its entry wherever it moves.
class frmAdd final : public QDialog {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(frmAdd)

public:
    static constexpr QSize ClientSize{312, 174};

    // Loading takes the mode and, for an edit, the entry from the program's entry request. A later Add or Edit
    // command changes neither.
    explicit frmAdd(Program &program, QWidget *parent = nullptr);
    ~frmAdd() override;

    // Save. The index is that of the button array and is ignored.
    void cmdAdd_Click(int index);
    // Cancel: closes the dialog without writing anything.
    void cmdDelete_Click();

    bool isAddMode() const { return addMode_; }
    // The row (from 0) that an edit saves into, or -1 in add mode and once the entry was deleted.
    qsizetype editedRow() const;

    QLabel *SkinLabel1 = nullptr;
    QLabel *SkinLabel2 = nullptr;
    QLabel *SkinLabel3 = nullptr;
    QLineEdit *txtUsername = nullptr;
    QLineEdit *txtPassword = nullptr;
    QLineEdit *txtWebsite = nullptr;
    QToolButton *cmdAdd = nullptr;
    QToolButton *cmdDelete = nullptr;

public slots:
    // Escape has no meaning for this window.
    void reject() override {}

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void buildControls();
    void Form_Load();
    bool fieldsAreStorable();
    void showError(const QString &text);
    void unload();

    Program &program_;
    bool addMode_ = true;
    QPersistentModelIndex editRow_;
};
