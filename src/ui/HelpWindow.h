#pragma once

#include <QDialog>

class QCheckBox;
class SettingsStore;
class QTextBrowser;
struct PublisherSettings;

// The help window: shows Help.rtf from the program's folder, floating above every other window, with the check
// box that decides whether it opens at start. Without the help file it loads but declines to be shown.
class HelpWindow final : public QDialog {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(HelpWindow)

public:
    // Help files larger than this are not shown: the window opens without help text.
    static constexpr qint64 MaxHelpFileBytes = 64 * 1024 * 1024;
    // The last line of a help file that the view's bounds cut short.
    static constexpr QStringView CutNote = u"The rest of this help file is not shown: it is too long for this window.";

    // Loading runs the load steps: skin, look for the help file, show it, topmost, the start-up setting.
    // `helpFilePath` is the help file to show; the start-up setting is read and written through `settings`.
    HelpWindow(const QString &helpFilePath, SettingsStore &settings, const PublisherSettings &publisher,
               QWidget *parent = nullptr);
    ~HelpWindow() override;

    // False when the help file was missing at load: the window stays hidden.
    bool showAfterLoad() const { return helpFileFound_; }

    // Writes the box's state to the start-up setting at once: "1" ticked, "0" not.
    void saveStartupSetting();

private:
    void buildControls();
    void load(const QString &helpFilePath);
    void loadHelpFile(const QString &path);
    void readStartupSetting();

    SettingsStore &settings_;
    const PublisherSettings &publisher_;
    bool helpFileFound_ = false;
    QTextBrowser *helpView_ = nullptr;
    QCheckBox *showAtStartupBox_ = nullptr;
};
