// Which texts each field can store, and that a refusal names the field and the cause.

#include "core/StorableText.h"

#include <QTest>

using namespace Qt::StringLiterals;

namespace {

// The three fields and the master password, which line 1 holds alone.
enum class Kind { Username, Password, Location, MasterPassword };

std::optional<QString> whyNot(const QString &text, Kind kind)
{
    return kind == Kind::MasterPassword ? StorableText::whyNotMasterPassword(text)
                                        : StorableText::whyNot(text, Entry::Field(int(kind)));
}

QString fieldName(Kind kind)
{
    switch (kind) {
    case Kind::Username:
        return u"The username"_s;
    case Kind::Password:
        return u"The password"_s;
    case Kind::Location:
        return u"The website"_s;
    case Kind::MasterPassword:
        return u"The master password"_s;
    }
    return {};
}

const char *kindName(Kind kind)
{
    switch (kind) {
    case Kind::Username:
        return "user name";
    case Kind::Password:
        return "password";
    case Kind::Location:
        return "location";
    case Kind::MasterPassword:
        return "master password";
    }
    return "";
}

constexpr Kind EntryFields[] = {Kind::Username, Kind::Password, Kind::Location};
constexpr Kind AllKinds[] = {Kind::Username, Kind::Password, Kind::Location, Kind::MasterPassword};

} // namespace

Q_DECLARE_METATYPE(Kind)

class tst_StorableText : public QObject {
    Q_OBJECT

private slots:
    void whyNot_refused_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<Kind>("kind");
        QTest::addColumn<QString>("cause"); // a part of the message that names the cause

        for (const Kind kind : EntryFields) {
            QTest::addRow("%s: ||| alone", kindName(kind)) << u"|||"_s << kind << u"\"|||\""_s;
            QTest::addRow("%s: ||| at the start", kindName(kind)) << u"|||a"_s << kind << u"\"|||\""_s;
            QTest::addRow("%s: ||| in the middle", kindName(kind)) << u"a|||b"_s << kind << u"\"|||\""_s;
            QTest::addRow("%s: four bars inside", kindName(kind)) << u"a||||b"_s << kind << u"\"|||\""_s;
        }
        for (const Kind kind : AllKinds) {
            QTest::addRow("%s: CR", kindName(kind)) << u"a\rb"_s << kind << u"line break"_s;
            QTest::addRow("%s: LF", kindName(kind)) << u"a\nb"_s << kind << u"line break"_s;
            QTest::addRow("%s: CR LF at the end", kindName(kind)) << u"ab\r\n"_s << kind << u"line break"_s;
            QTest::addRow("%s: U+008D, a CR once enciphered", kindName(kind)) << u"a\u008Db"_s << kind << u"U+008D"_s;
            QTest::addRow("%s: U+0100", kindName(kind)) << u"\u0100"_s << kind << u"\"\u0100\" (U+0100)"_s;
            QTest::addRow("%s: U+4E2D", kindName(kind)) << u"ab\u4E2D"_s << kind << u"\"\u4E2D\" (U+4E2D)"_s;
            QTest::addRow("%s: emoji, shown whole", kindName(kind))
                << u"a\U0001F511b"_s << kind << u"\"\U0001F511\" (U+1F511)"_s;
            QTest::addRow("%s: lone high surrogate at the end", kindName(kind))
                << (u"a"_s + QChar(0xD83D)) << kind << u"(U+D83D): the vault"_s;
            QTest::addRow("%s: Cyrillic a, named by its code", kindName(kind))
                << u"x\u0430"_s << kind
                << u" can not contain the character \"\u0430\" (U+0430): the vault file holds only Western European "
                   u"(Windows-1252) characters."_s;
            QTest::addRow("%s: U+0080, whose byte is the euro sign", kindName(kind))
                << u"\u0080"_s << kind << u"Windows-1252"_s;
        }
        QTest::newRow("user name ending with |") << u"a|"_s << Kind::Username << u"end with \"|\""_s;
        QTest::newRow("user name ending with ||") << u"a||"_s << Kind::Username << u"end with \"|\""_s;
        QTest::newRow("user name a single |") << u"|"_s << Kind::Username << u"end with \"|\""_s;
        QTest::newRow("password ending with |") << u"a|"_s << Kind::Password << u"end with \"|\""_s;
        QTest::newRow("password ending with ||") << u"||"_s << Kind::Password << u"end with \"|\""_s;
    }
    void whyNot_refused()
    {
        QFETCH(QString, text);
        QFETCH(Kind, kind);
        QFETCH(QString, cause);
        const std::optional<QString> why = whyNot(text, kind);
        QVERIFY(why.has_value());
        QVERIFY2(why->startsWith(fieldName(kind)), qPrintable(*why));
        QVERIFY2(why->contains(cause), qPrintable(*why));
    }

    void whyNot_accepted_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<Kind>("kind");
        for (const Kind kind : AllKinds) {
            QTest::addRow("%s: empty", kindName(kind)) << QString() << kind;
            QTest::addRow("%s: || inside", kindName(kind)) << u"a||b"_s << kind;
            QTest::addRow("%s: starting with |", kindName(kind)) << u"|a"_s << kind;
            QTest::addRow("%s: euro sign, a NUL once enciphered", kindName(kind)) << u"\u20AC"_s << kind;
            QTest::addRow("%s: S caron, a lone LF once enciphered", kindName(kind)) << u"\u0160"_s << kind;
            QTest::addRow("%s: undefined codes but 0x8D", kindName(kind)) << u"\u0081\u008F\u0090\u009D"_s << kind;
            QTest::addRow("%s: NUL, a euro sign once enciphered", kindName(kind)) << QString(QChar(0)) << kind;
            QTest::addRow("%s: a single space", kindName(kind)) << u" "_s << kind;
            QTest::addRow("%s: no-break space", kindName(kind)) << u"\u00A0"_s << kind;
            QTest::addRow("%s: Latin-1 letters", kindName(kind)) << u"\u00E9\u00FF\u00C0"_s << kind;
        }
        QTest::newRow("location ending with |") << u"c|"_s << Kind::Location;
        QTest::newRow("location ending with ||") << u"c||"_s << Kind::Location;
        QTest::newRow("master password with |||") << u"a|||b"_s << Kind::MasterPassword;
        QTest::newRow("master password ending with |") << u"secret|"_s << Kind::MasterPassword;
        QTest::newRow("master password of bars only") << u"||||"_s << Kind::MasterPassword;
    }
    void whyNot_accepted()
    {
        QFETCH(QString, text);
        QFETCH(Kind, kind);
        const std::optional<QString> why = whyNot(text, kind);
        QVERIFY2(!why.has_value(), qPrintable(why.value_or(QString())));
    }
};

QTEST_GUILESS_MAIN(tst_StorableText)
#include "tst_StorableText.moc"
