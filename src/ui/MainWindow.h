#pragma once

#include "core/Entry.h"

#include <QMainWindow>

#include <array>

class EntryListModel;
class EntryListView;
class PictureButton;
struct PublisherSettings;

// The main window: the command buttons, the copy buttons above the entry list's columns, the list, a status bar
// and a menu bar that repeats the buttons' commands. It shows the entries and asks for every command through its
// signals, each carrying what the command needs of the window: the row it has selected (from 0, in the list's order;
// -1 when none is), the field, the column and the order. It asks nothing back. Closing it for good emits closing(),
// unless whoever answered closeRequested() asked it to stay open.
class MainWindow final : public QMainWindow {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(MainWindow)

public:
    // `splashIcon`, when not null, is the window's icon until the start finishes.
    MainWindow(EntryListModel &entries, const PublisherSettings &publisher, const QIcon &splashIcon,
               QWidget *parent = nullptr);
    ~MainWindow() override;

    // Finishes the start after the vault was unlocked or created: the program's icon, the skin, visible.
    void finishStartup();

    // Shows the text in the status bar and has a screen reader announce it, or `spoken` instead where that is given
    // (a copied password is shown, never read out).
    void setStatusText(const QString &text, const QString &spoken = {});
    // Has a screen reader announce `spoken` on behalf of the status bar, which keeps its text.
    void announce(const QString &spoken);
    // The answer to closeRequested() that keeps the window open: the close under way does not happen.
    void keepOpen();

    // The list's size in twips for an outer window size in twips: the list keeps its left and top and grows
    // with the window. A window smaller than the offsets mirrors the size instead of clamping it.
    static QSize listSizeFor(QSize outerTwips, QPoint listTopLeftTwips);
    // The outer size in twips for the window's inside size in pixels (menu bar and status bar included).
    static QSize outerSizeTwips(QSize inside);

signals:
    void addRequested();
    void editRequested(qsizetype row);
    void deleteRequested(qsizetype row);
    void goToRequested(qsizetype row);
    void copyRequested(Entry::Field field, qsizetype row);
    void websiteRequested();
    void helpRequested();
    void aboutRequested();
    // A column's header was clicked, or its sort key pressed: the list is to be sorted by it (0 for the first column).
    void sortRequested(int column);
    // The window is about to close, by its close box or File, Exit; keepOpen(), called in answer, stops it.
    void closeRequested();
    // The window closes for good: the program unloads its other windows and ends.
    void closing();

protected:
    void resizeEvent(QResizeEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    class StatusPanel;

    void buildControls();
    void buildMenus();
    void setUpColumns();
    void fitListToWindow();
    // The first selected row in the list's order (from 0), or -1 when none is selected.
    qsizetype selectedRow() const;

    EntryListModel &entries_;
    const PublisherSettings &publisher_;
    bool keepOpen_ = false;
    EntryListView *entryList_ = nullptr;
    PictureButton *addButton_ = nullptr;
    PictureButton *deleteButton_ = nullptr;
    PictureButton *editButton_ = nullptr;
    PictureButton *goToButton_ = nullptr;
    PictureButton *websiteButton_ = nullptr;
    std::array<PictureButton *, Entry::FieldCount> copyButtons_{}; // user name, password, location
    StatusPanel *statusPanel_ = nullptr;
};
