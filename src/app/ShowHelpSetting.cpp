#include "app/ShowHelpSetting.h"

#include "platform/Platform.h"

using namespace Qt::StringLiterals;

namespace {

// Under the product name; what the setting reads where nothing is stored.
const QString ShowHelpSection = u"Settings"_s;
const QString ShowHelpKey = u"showHelp"_s;
const QString ShowHelpDefault = u"1"_s;

} // namespace

ShowHelpSetting::ShowHelpSetting(SettingsStore &settings, const QString &productName)
    : settings_(settings), productName_(productName)
{}

QString ShowHelpSetting::read() const
{
    return settings_.read(productName_, ShowHelpSection, ShowHelpKey, ShowHelpDefault);
}

bool ShowHelpSetting::opensAtStart() const
{
    return read() == u"1"_s;
}

bool ShowHelpSetting::ticksBox() const
{
    bool isNumber = false;
    const int value = read().toInt(&isNumber);
    return !isNumber || value != 0;
}

void ShowHelpSetting::write(bool show)
{
    settings_.write(productName_, ShowHelpSection, ShowHelpKey, show ? u"1"_s : u"0"_s);
}
