#pragma once

#include <QString>

// The build-time values that name the product and its publisher, and the switches of optional features.
struct PublisherSettings {
    QString ProductName;
    QString CompanyName;
    QString PublisherUrl; // a host name without a scheme
    int VersionMajor = 0;
    int VersionMinor = 0;
    bool UseSkin = false;
    bool UseSplashIcon = true;
};

// Fills every field from the program's version information; every call gives the same values.
void InitPublisherSettings(PublisherSettings &settings);
