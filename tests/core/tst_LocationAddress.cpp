// How an entry's location becomes what the desktop's opener is handed: the web test on the six markers, schemes
// already there, paths (which never get "http://"), and the publisher's website address.

#include "core/LocationAddress.h"

#include <QTest>
#include <QUrl>

using namespace Qt::StringLiterals;

namespace {

const QString Home = u"/home/me"_s;

QUrl web(const QString &address)
{
    return QUrl(address, QUrl::TolerantMode);
}

QUrl file(const QString &path)
{
    return QUrl::fromLocalFile(path);
}

} // namespace

class tst_LocationAddress : public QObject {
    Q_OBJECT

private slots:
    void openerAddress_followsTheWebTestAndPathRules_data()
    {
        QTest::addColumn<QString>("location");
        QTest::addColumn<QUrl>("address");

        // The six markers, each in two letter cases.
        QTest::newRow("www") << u"www.example.de"_s << web(u"http://www.example.de"_s);
        QTest::newRow("WWW") << u"WWW.EXAMPLE.DE"_s << web(u"http://WWW.EXAMPLE.DE"_s);
        QTest::newRow(".edu") << u"mit.edu"_s << web(u"http://mit.edu"_s);
        QTest::newRow(".EDU") << u"MIT.EDU"_s << web(u"http://MIT.EDU"_s);
        QTest::newRow("biz") << u"shop.biz"_s << web(u"http://shop.biz"_s);
        QTest::newRow("Biz") << u"Bizarre.de"_s << web(u"http://Bizarre.de"_s);
        QTest::newRow("org") << u"example.org"_s << web(u"http://example.org"_s);
        QTest::newRow("ORG") << u"EXAMPLE.ORG/x"_s << web(u"http://EXAMPLE.ORG/x"_s);
        QTest::newRow(".net") << u"example.net"_s << web(u"http://example.net"_s);
        QTest::newRow(".Net") << u"example.Net"_s << web(u"http://example.Net"_s);
        QTest::newRow(".com") << u"example.com/login?a=1#top"_s << web(u"http://example.com/login?a=1#top"_s);
        QTest::newRow(".COM") << u"EXAMPLE.COM"_s << web(u"http://EXAMPLE.COM"_s);
        QTest::newRow("'net' without its full stop is no marker") << u"netflix.tv"_s << file(Home + u"/netflix.tv"_s);

        // Schemes already there.
        QTest::newRow("https://") << u"https://example.com"_s << web(u"https://example.com"_s);
        QTest::newRow("HTTP://") << u"HTTP://example.com"_s << web(u"http://example.com"_s);
        QTest::newRow("http:// later in the text is no scheme")
            << u"see http://x.com"_s << file(Home + u"/see http://x.com"_s);
        QTest::newRow("ftp:// with .com gets nothing in front")
            << u"ftp://files.example.com"_s << web(u"ftp://files.example.com"_s);
        QTest::newRow("mailto: with .com") << u"mailto:me@example.com"_s << web(u"mailto:me@example.com"_s);
        QTest::newRow("file:// address") << u"file:///tmp/www"_s << file(u"/tmp/www"_s);

        // Paths.
        QTest::newRow("absolute path holding org") << u"/home/me/Organizer"_s << file(u"/home/me/Organizer"_s);
        QTest::newRow("home path holding ORG") << u"~/ORGANIZER"_s << file(Home + u"/ORGANIZER"_s);
        QTest::newRow("tilde alone") << u"~"_s << file(Home);
        QTest::newRow("drive letter with .com") << u"C:\\Work\\site.com"_s << file(Home + u"/C:\\Work\\site.com"_s);
        QTest::newRow("network path with www") << u"\\\\server\\www"_s << file(Home + u"/\\\\server\\www"_s);
        QTest::newRow("relative path holding org is a web address as written")
            << u"Documents/org"_s << web(u"http://Documents/org"_s);
        QTest::newRow("relative path without marker") << u"My Files/taxes"_s << file(Home + u"/My Files/taxes"_s);
        QTest::newRow("empty: the home folder") << QString() << file(Home);
        QTest::newRow("leading dash never becomes an option") << u"-rf"_s << file(Home + u"/-rf"_s);
        QTest::newRow("Qt resource syntax is an ordinary name") << u":/secret"_s << file(Home + u"/:/secret"_s);

        // Blanks at either end are no part of the location.
        QTest::newRow("blanks around a scheme") << u" https://example.org "_s << web(u"https://example.org"_s);
        QTest::newRow("tab before mailto:") << u"\tmailto:me@example.com"_s << web(u"mailto:me@example.com"_s);
        QTest::newRow("blank before an absolute path") << u" /srv/share"_s << file(u"/srv/share"_s);
        QTest::newRow("blanks around a home path") << u"  ~/notes "_s << file(Home + u"/notes"_s);
        QTest::newRow("blanks around a web address") << u" www.example.de "_s << web(u"http://www.example.de"_s);
        QTest::newRow("blanks around a relative path") << u" My Files/taxes "_s << file(Home + u"/My Files/taxes"_s);
        QTest::newRow("blanks only: the home folder") << u"   "_s << file(Home);
    }
    void openerAddress_followsTheWebTestAndPathRules()
    {
        QFETCH(QString, location);
        QFETCH(QUrl, address);
        const QUrl got = LocationAddress::openerAddress(location, Home);
        QCOMPARE(got, address);
        QVERIFY(got.isValid());
        QVERIFY(!got.toString(QUrl::FullyEncoded).startsWith(u'-'));
    }

    void withWebScheme_keepsOrPrefixesTheText_data()
    {
        QTest::addColumn<QString>("location");
        QTest::addColumn<QString>("text");
        QTest::newRow("no marker: as typed") << u"example.de"_s << u"example.de"_s;
        QTest::newRow("marker: prefixed") << u"www.x.de"_s << u"http://www.x.de"_s;
        QTest::newRow("hTTpS:// anywhere") << u"x.com hTTpS://y"_s << u"x.com hTTpS://y"_s;
        QTest::newRow("scheme of letters only") << u"svn://x.org"_s << u"svn://x.org"_s;
        QTest::newRow("digits before :// are no scheme") << u"1a://x.org"_s << u"http://1a://x.org"_s;
        QTest::newRow("drive letter") << u"d:org"_s << u"d:org"_s;
        QTest::newRow("blanks around a scheme") << u" svn://x.org "_s << u"svn://x.org"_s;
        QTest::newRow("blank before a path holding org") << u" /home/me/Organizer"_s << u"/home/me/Organizer"_s;
    }
    void withWebScheme_keepsOrPrefixesTheText()
    {
        QFETCH(QString, location);
        QFETCH(QString, text);
        QCOMPARE(LocationAddress::withWebScheme(location), text);
    }

    void websiteAddress_prefixesUnlessHttpAnywhere_data()
    {
        QTest::addColumn<QString>("url");
        QTest::addColumn<QString>("address");
        QTest::newRow("host name") << u"www.brisvane.example"_s << u"http://www.brisvane.example"_s;
        QTest::newRow("https") << u"https://brisvane.example"_s << u"https://brisvane.example"_s;
        QTest::newRow("HTTP in capitals") << u"HTTP://brisvane.example"_s << u"HTTP://brisvane.example"_s;
        QTest::newRow("http:// not at the start") << u"x/http://y"_s << u"x/http://y"_s;
        QTest::newRow("another scheme gets http in front") << u"ftp://x"_s << u"http://ftp://x"_s;
    }
    void websiteAddress_prefixesUnlessHttpAnywhere()
    {
        QFETCH(QString, url);
        QFETCH(QString, address);
        QCOMPARE(LocationAddress::websiteAddress(url), address);
    }
};

QTEST_GUILESS_MAIN(tst_LocationAddress)
#include "tst_LocationAddress.moc"
