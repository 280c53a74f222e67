#pragma once

#include <QMainWindow>

#include <array>

class EntryListView;
class Program;
class QLabel;
class QToolButton;

// The main window: the command buttons, the copy buttons above the entry list's columns, the list, a status bar
// and a menu bar that repeats the buttons' commands.
class Form1 final : public QMainWindow {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(Form1)

public:
    // Loading sets the captions, columns and status panel, then checks for a first run, which opens the master
    // password dialog.
    explicit Form1(Program &program, QWidget *parent = nullptr);
    ~Form1() override;

    // Finishes the start after the vault was unlocked or created: icon, visible, help window, dialog gone.
    void afterFormLoad();

    void SetStatusText(const QString &text);
    QString statusText() const;

    // The list's size in twips for an outer window size in twips: the list keeps its left and top and grows
    // with the window. A window smaller than the offsets mirrors the size instead of clamping it.
    static QSize listSizeFor(QSize outerTwips, QPoint listTopLeftTwips);
    // The outer size in twips for the window's inside size in pixels (menu bar and status bar included).
    static QSize outerSizeTwips(QSize inside);

    EntryListView *lstPass = nullptr;
    QToolButton *cmdAdd = nullptr;
    QToolButton *cmdDelete = nullptr;
    QToolButton *cmdEdit = nullptr;
    QToolButton *cmdGoto = nullptr;
    QToolButton *cmdWebsite = nullptr;
    std::array<QToolButton *, 3> cmdCopy{};
    QLabel *statusPanel = nullptr;

    void mnuFileItem_Click(int index);
    void mnuDataItem_Click(int index);
    void mnuCopyItem_Click(int index);
    void mnuHelpItem_Click(int index);
    void mnuAboutItem_Click(int index);

protected:
    void resizeEvent(QResizeEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void buildControls();
    void buildMenus();
    void setUpColumns();
    void Form_Resize();
    bool Form_Unload();

    Program &program_;
};
