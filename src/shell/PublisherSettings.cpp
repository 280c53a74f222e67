#include "shell/PublisherSettings.h"

#include "BuildInfo.h"

void InitPublisherSettings(PublisherSettings &settings)
{
    settings.ProductName = QString::fromUtf8(BuildInfo::ProductName);
    settings.CompanyName = QString::fromUtf8(BuildInfo::CompanyName);
    settings.PublisherUrl = QString::fromUtf8(BuildInfo::PublisherUrl);
    settings.VersionMajor = BuildInfo::VersionMajor;
    settings.VersionMinor = BuildInfo::VersionMinor;
#ifdef BRISVANE_USE_SKIN
    settings.UseSkin = true;
#else
    settings.UseSkin = false;
#endif
    settings.UseSplashIcon = true;
}
