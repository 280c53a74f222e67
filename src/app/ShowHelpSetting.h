#pragma once

#include <QString>

class SettingsStore;

// Whether the help window opens when the program starts: "showHelp" in section "Settings" under the product name,
// "1" where nothing is stored. The start-up reads it, and the help window's "Show at Startup" box shows and writes
// it.
class ShowHelpSetting final {
public:
    ShowHelpSetting(SettingsStore &settings, const QString &productName);

    // The start-up opens the help only for exactly "1".
    bool opensAtStart() const;
    // The help window's box: any number other than 0 ticks it, and a text that is no number leaves it ticked.
    bool ticksBox() const;
    // "1" for a ticked box, "0" for a clear one.
    void write(bool show);

private:
    QString read() const;

    SettingsStore &settings_;
    const QString productName_;
};
