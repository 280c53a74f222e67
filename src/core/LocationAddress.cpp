#include "core/LocationAddress.h"

#include <QDir>

#include <array>

using namespace Qt::StringLiterals;

namespace {

bool isAsciiLetter(QChar c)
{
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z');
}

bool holdsHttpScheme(const QString &text)
{
    return text.contains(u"https://"_s, Qt::CaseInsensitive) || text.contains(u"http://"_s, Qt::CaseInsensitive);
}

// One of the markers ".edu", "biz", "org", ".net", ".com" or "www", anywhere and in any letter case.
bool looksLikeWebAddress(const QString &location)
{
    static const std::array<QString, 6> markers{u".edu"_s, u"biz"_s, u"org"_s, u".net"_s, u".com"_s, u"www"_s};
    for (const QString &marker : markers) {
        if (location.contains(marker, Qt::CaseInsensitive)) {
            return true;
        }
    }
    return false;
}

// Blanks at either end aside, a scheme first: letters followed by "://", or "mailto:" (any letter case).
bool hasScheme(const QString &location)
{
    const QStringView text = QStringView(location).trimmed();
    if (text.startsWith(u"mailto:", Qt::CaseInsensitive)) {
        return true;
    }
    qsizetype letters = 0;
    while (letters < text.size() && isAsciiLetter(text[letters])) {
        ++letters;
    }
    return letters > 0 && text.sliced(letters).startsWith(u"://");
}

// Blanks at either end aside, "/", "~", "\\" or a drive letter and ":" first.
bool isAbsolutePath(const QString &location)
{
    const QStringView text = QStringView(location).trimmed();
    if (text.startsWith(u'/') || text.startsWith(u'~') || text.startsWith(u'\\')) {
        return true;
    }
    return text.size() >= 2 && isAsciiLetter(text[0]) && text[1] == u':';
}

// The path a location names on this system. A relative path would otherwise depend on the folder the program
// happened to be started from; the user's home folder is where the file manager starts too.
QString localPath(const QString &location, const QString &homeFolder)
{
    if (location.isEmpty() || location == u"~"_s) {
        return homeFolder;
    }
    if (location.startsWith(u"~/"_s)) {
        return homeFolder + location.mid(1);
    }
    const QString path = QDir::fromNativeSeparators(location);
    // Qt counts ":/..." as absolute (its own resources); the desktop knows no such files.
    if (QDir::isAbsolutePath(path) && !path.startsWith(u':')) {
        return path;
    }
    return homeFolder + u'/' + path;
}

} // namespace

namespace LocationAddress {

QString withWebScheme(const QString &location)
{
    // Blanks typed or pasted around a location are never part of an address or a file name.
    const QString text = location.trimmed();
    // An address with its own scheme or a path on disk is never a host name that lacks "http://", whatever
    // letters it holds ("ftp://example.com", "/home/me/Organizer").
    if (hasScheme(text) || isAbsolutePath(text)) {
        return text;
    }
    if (!looksLikeWebAddress(text) || holdsHttpScheme(text)) {
        return text;
    }
    return u"http://"_s + text;
}

QUrl openerAddress(const QString &location, const QString &homeFolder)
{
    const QString text = withWebScheme(location);
    if (hasScheme(text)) {
        return QUrl(text, QUrl::TolerantMode);
    }
    // As a file:// address nothing in the location can reach the opener as an option, such as a leading "-".
    return QUrl::fromLocalFile(localPath(text, homeFolder));
}

QString websiteAddress(const QString &publisherUrl)
{
    return holdsHttpScheme(publisherUrl) ? publisherUrl : u"http://"_s + publisherUrl;
}

} // namespace LocationAddress
