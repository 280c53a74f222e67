#pragma once

#include "core/Entry.h"

#include <QMainWindow>

#include <array>
#include <functional>

class EntryListModel;
class EntryListView;
class PictureButton;
class QLabel;
struct PublisherSettings;

// The main window: the command buttons, the copy buttons above the entry list's columns, the list, a status bar
// and a menu bar that repeats the buttons' commands. It shows the entries and asks for every command through its
// signals; closing it for good emits closing(), once the close guard agreed.
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
    QString statusText() const;

    // The first selected row in the list's order (from 0), or -1 when none is selected.
    qsizetype selectedRow() const;

    // Asked before the window closes; false keeps it open.
    void setCloseGuard(std::function<bool()> mayClose) { mayClose_ = std::move(mayClose); }

    // The list's size in twips for an outer window size in twips: the list keeps its left and top and grows
    // with the window. A window smaller than the offsets mirrors the size instead of clamping it.
    static QSize listSizeFor(QSize outerTwips, QPoint listTopLeftTwips);
    // The outer size in twips for the window's inside size in pixels (menu bar and status bar included).
    static QSize outerSizeTwips(QSize inside);

signals:
    void addRequested();
    void editRequested();
    void deleteRequested();
    void goToRequested();
    void websiteRequested();
    void copyRequested(Entry::Field field);
    void helpRequested();
    void aboutRequested();
    // The window closes for good: the program unloads its other windows and ends.
    void closing();

protected:
    void resizeEvent(QResizeEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void buildControls();
    void buildMenus();
    void setUpColumns();
    void fitListToWindow();
    void announceSortOrder(int column);

    EntryListModel &entries_;
    const PublisherSettings &publisher_;
    std::function<bool()> mayClose_;
    EntryListView *entryList_ = nullptr;
    PictureButton *addButton_ = nullptr;
    PictureButton *deleteButton_ = nullptr;
    PictureButton *editButton_ = nullptr;
    PictureButton *goToButton_ = nullptr;
    PictureButton *websiteButton_ = nullptr;
    std::array<PictureButton *, Entry::FieldCount> copyButtons_{}; // user name, password, location
    QLabel *statusPanel_ = nullptr;
};
