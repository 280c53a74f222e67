#pragma once

#include <QString>
#include <QUrl>

// How an entry's Website/Location becomes something the desktop can open, and how the publisher's website becomes
// an address. Pure functions: no files are touched and nothing is started.
namespace LocationAddress {

// The location as the Go To command reads it, without blanks at either end: a web address without "http://" or
// "https://" gets "http://" in front. A location that already carries a scheme, or is an absolute path, gets
// nothing.
QString withWebScheme(const QString &location);

// What the opener is handed for a location: the address itself when it carries a scheme (after the rule above),
// otherwise a file:// address of the path. A relative path is taken from `homeFolder`, as is "~"; the empty
// location opens `homeFolder` itself. The result is invalid when the text is no usable address.
QUrl openerAddress(const QString &location, const QString &homeFolder);

// The publisher's website: "http://" in front unless "http://" or "https://" appears anywhere (any letter case).
QString websiteAddress(const QString &publisherUrl);

} // namespace LocationAddress
