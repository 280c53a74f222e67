#pragma once

#include <QString>

// The build-time values that name the product and its publisher, and the switches of optional features.
struct PublisherSettings {
    QString productName;
    QString companyName;
    QString publisherUrl; // a host name without a scheme
    int versionMajor = 0;
    int versionMinor = 0;
    bool useSkin = false;

    // Every field from the program's version information; every call gives the same values.
    static PublisherSettings fromBuild();
};
