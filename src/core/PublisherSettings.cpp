#include "core/PublisherSettings.h"

#include "BuildInfo.h"

PublisherSettings PublisherSettings::fromBuild()
{
    PublisherSettings settings;
    settings.productName = QString::fromUtf8(BuildInfo::ProductName);
    settings.companyName = QString::fromUtf8(BuildInfo::CompanyName);
    settings.publisherUrl = QString::fromUtf8(BuildInfo::PublisherUrl);
    settings.versionMajor = BuildInfo::VersionMajor;
    settings.versionMinor = BuildInfo::VersionMinor;
#ifdef BRISVANE_USE_SKIN
    settings.useSkin = true;
#else
    settings.useSkin = false;
#endif
    return settings;
}
