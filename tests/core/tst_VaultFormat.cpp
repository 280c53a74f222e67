// The vault file's bytes: what each file shape looks like, how every kind of line reads, and that a save writes
// back exactly what a load read.

#include "core/VaultFormat.h"
#include "support/ReferenceVault.h"

#include <QRandomGenerator>
#include <QTest>

using namespace Qt::StringLiterals;
using ReferenceVault::Entries;
using ReferenceVault::fieldsOf;

namespace {

// File bytes are written as hex; blanks between bytes are only for the reader.
QByteArray hex(const char *text)
{
    return QByteArray::fromHex(text);
}

Entry entry(const char *username, const char *password, const char *location)
{
    return Entry::fromFields(username, password, location);
}

} // namespace

class tst_VaultFormat : public QObject {
    Q_OBJECT

private slots:
    void emptyVault_isOneEmptyLine() { QCOMPARE(VaultFormat::emptyVault(), hex("0d0a")); }

    void passwordOnly_isTheEncipheredPasswordLine_data()
    {
        QTest::addColumn<QByteArray>("password");
        QTest::addColumn<QByteArray>("file");
        QTest::newRow("pw") << QByteArrayLiteral("pw") << hex("f0f7 0d0a");
        QTest::newRow("empty password") << QByteArray() << hex("0d0a");
        QTest::newRow("ends with |") << QByteArrayLiteral("a|") << hex("e1fc 0d0a");
        QTest::newRow("euro sign becomes NUL") << hex("80") << hex("00 0d0a");
    }
    void passwordOnly_isTheEncipheredPasswordLine()
    {
        QFETCH(QByteArray, password);
        QFETCH(QByteArray, file);
        QCOMPARE(VaultFormat::passwordOnly(password), file);
    }

    void serialize_fullSave_data()
    {
        QTest::addColumn<QByteArray>("password");
        QTest::addColumn<std::vector<Entry>>("entries");
        QTest::addColumn<QByteArray>("file");
        QTest::newRow("no entries") << QByteArrayLiteral("pw") << std::vector<Entry>{} << hex("f0f7 0d0a 0d0a");
        QTest::newRow("no password, no entries") << QByteArray() << std::vector<Entry>{} << hex("0d0a 0d0a");
        QTest::newRow("three empty fields are six 0xFC")
            << QByteArrayLiteral("pw") << std::vector<Entry>{Entry()} << hex("f0f7 0d0a fcfcfcfcfcfc 0d0a 0d0a");
        QTest::newRow("two entries in order")
            << QByteArrayLiteral("pw") << std::vector<Entry>{entry("a", "b", "c"), entry("d", "e", "f")}
            << hex("f0f7 0d0a e1fcfcfce2fcfcfce3 0d0a e4fcfcfce5fcfcfce6 0d0a 0d0a");
    }
    void serialize_fullSave()
    {
        QFETCH(QByteArray, password);
        QFETCH(std::vector<Entry>, entries);
        QFETCH(QByteArray, file);
        QCOMPARE(VaultFormat::serialize(password, entries), file);
    }

    void firstLine_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QByteArray>("line");
        QTest::newRow("zero-byte file") << QByteArray() << QByteArray();
        QTest::newRow("new file") << hex("0d0a") << QByteArray();
        QTest::newRow("CR LF") << hex("f0f7 0d0a e1") << hex("f0f7");
        QTest::newRow("lone CR") << hex("f0f7 0d e1") << hex("f0f7");
        QTest::newRow("lone LF is content") << hex("f0 0a f7 0d0a") << hex("f00af7");
        QTest::newRow("no terminator") << hex("f0f7") << hex("f0f7");
    }
    void firstLine()
    {
        QFETCH(QByteArray, file);
        QFETCH(QByteArray, line);
        QCOMPARE(VaultFormat::firstLine(file).toByteArray(), line);
    }

    // Each row: the stored bytes, and the deciphered password and entries they hold.
    void parse_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QByteArray>("password");
        QTest::addColumn<Entries>("entries");

        const Entries abc = {{"a", "b", "c"}};
        QTest::newRow("zero-byte file") << QByteArray() << QByteArray() << Entries{};
        QTest::newRow("zero bytes, not null") << QByteArray("") << QByteArray() << Entries{};
        QTest::newRow("new file") << hex("0d0a") << QByteArray() << Entries{};
        QTest::newRow("password only") << hex("f0f7 0d0a") << QByteArrayLiteral("pw") << Entries{};
        QTest::newRow("password only, no terminator") << hex("f0f7") << QByteArrayLiteral("pw") << Entries{};
        QTest::newRow("password, CR LF CR LF") << hex("f0f7 0d0a 0d0a") << QByteArrayLiteral("pw") << Entries{};
        QTest::newRow("full save") << hex("f0f7 0d0a e1fcfcfce2fcfcfce3 0d0a e4fcfcfce5fcfcfce6 0d0a 0d0a")
                                   << QByteArrayLiteral("pw") << Entries{{"a", "b", "c"}, {"d", "e", "f"}};
        QTest::newRow("six 0xFC: three empty fields")
            << hex("f0f7 0d0a fcfcfcfcfcfc 0d0a 0d0a") << QByteArrayLiteral("pw") << Entries{{"", "", ""}};

        QTest::newRow("stored one-space line is skipped")
            << hex("f0f7 0d0a 20 0d0a e1fcfcfce2fcfcfce3 0d0a 0d0a") << QByteArrayLiteral("pw") << abc;
        QTest::newRow("stored empty lines are skipped")
            << hex("f0f7 0d0a 0d0a 0d0a e1fcfcfce2fcfcfce3 0d0a 0d0a 0d0a") << QByteArrayLiteral("pw") << abc;
        QTest::newRow("stored one-space last line, no terminator")
            << hex("f0f7 0d0a e1fcfcfce2fcfcfce3 0d0a 20") << QByteArrayLiteral("pw") << abc;
        QTest::newRow("enciphered space 0xA0 is an entry with user name space")
            << hex("f0f7 0d0a a0 0d0a") << QByteArrayLiteral("pw") << Entries{{" ", "", ""}};
        QTest::newRow("two stored spaces are an entry")
            << hex("f0f7 0d0a 2020 0d0a") << QByteArrayLiteral("pw") << Entries{{hex("a0a0"), "", ""}};
        QTest::newRow("stored one-space first line is the password") << hex("20 0d0a") << hex("a0") << Entries{};
        QTest::newRow("empty first line, then entries") << hex("0d0a e1fcfcfce2fcfcfce3 0d0a") << QByteArray() << abc;

        QTest::newRow("lone LF inside a line is content")
            << hex("f0f7 0d0a e1 0a e2 fcfcfc e3 0d0a") << QByteArrayLiteral("pw")
            << Entries{{hex("61 8a 62"), "c", ""}};
        QTest::newRow("lone LF alone on a line is an entry")
            << hex("f0f7 0d0a 0a 0d0a") << QByteArrayLiteral("pw") << Entries{{hex("8a"), "", ""}};
        QTest::newRow("lone LF as the whole first line") << hex("0a 0d0a") << hex("8a") << Entries{};
        QTest::newRow("lone CR ends a line") << hex("f0f7 0d e1fcfcfce2fcfcfce3 0d e4 0d") << QByteArrayLiteral("pw")
                                             << Entries{{"a", "b", "c"}, {"d", "", ""}};
        QTest::newRow("CR CR LF: the second CR ends an empty line")
            << hex("f0f7 0d 0d0a e1fcfcfce2fcfcfce3 0d0a") << QByteArrayLiteral("pw") << abc;
        QTest::newRow("LF CR LF: the LF is content")
            << hex("f0f7 0d0a 0a0d0a") << QByteArrayLiteral("pw") << Entries{{hex("8a"), "", ""}};
        QTest::newRow("last line without terminator")
            << hex("f0f7 0d0a e1fcfcfce2fcfcfce3") << QByteArrayLiteral("pw") << abc;
        QTest::newRow("NUL inside an entry is the euro sign")
            << hex("f0f7 0d0a e1 00 e2 fcfcfc 00 0d0a") << QByteArrayLiteral("pw")
            << Entries{{hex("61 80 62"), hex("80"), ""}};
        QTest::newRow("NUL inside the password") << hex("f0 00 f7 0d0a") << hex("70 80 77") << Entries{};

        QTest::newRow("one piece") << hex("f0f7 0d0a e1 0d0a") << QByteArrayLiteral("pw") << Entries{{"a", "", ""}};
        QTest::newRow("two pieces") << hex("f0f7 0d0a e1fcfcfce2 0d0a") << QByteArrayLiteral("pw")
                                    << Entries{{"a", "b", ""}};
        QTest::newRow("four pieces: the rest is the location")
            << hex("f0f7 0d0a e1fcfcfce2fcfcfce3fcfcfce4 0d0a") << QByteArrayLiteral("pw")
            << Entries{{"a", "b", "c|||d"}};
        QTest::newRow("four bars: the fourth starts the password")
            << hex("f0f7 0d0a e1fcfcfcfce2 0d0a") << QByteArrayLiteral("pw") << Entries{{"a", "|b", ""}};
        QTest::newRow("seven bars: the seventh is the location")
            << hex("f0f7 0d0a fcfcfcfcfcfcfc 0d0a") << QByteArrayLiteral("pw") << Entries{{"", "", "|"}};
        QTest::newRow("two bars are no separator")
            << hex("f0f7 0d0a e1fcfce2 0d0a") << QByteArrayLiteral("pw") << Entries{{"a||b", "", ""}};
        QTest::newRow("separator at the very end")
            << hex("f0f7 0d0a e1fcfcfc 0d0a") << QByteArrayLiteral("pw") << Entries{{"a", "", ""}};
    }
    void parse()
    {
        QFETCH(QByteArray, file);
        QFETCH(QByteArray, password);
        QFETCH(Entries, entries);
        QCOMPARE(ReferenceVault::passwordLineOf(VaultFormat::firstLine(file)), password);
        QCOMPARE(fieldsOf(VaultFormat::parse(file)), entries);
    }

    // The entries keep referring to the bytes they were read from: those are deciphered in a copy of their own,
    // never in the caller's array, and they stay as long as an entry needs them.
    void parse_entriesOutliveTheFile_callersBytesUnchanged()
    {
        const QByteArray stored = hex("f0f7 0d0a e1fcfcfce2fcfcfce3 0d0a e4 0d0a 0d0a");
        QByteArray file = stored;
        std::vector<Entry> entries = VaultFormat::parse(file);
        QCOMPARE(file, stored);
        file = {};
        QCOMPARE(fieldsOf(entries), (Entries{{"a", "b", "c"}, {"d", "", ""}}));
        QCOMPARE(VaultFormat::serialize("pw", entries), stored);
    }

    // What a load followed by a save writes. A file this program wrote comes back byte for byte; other files come
    // back in the shape of a full save, every entry line unchanged.
    void parseThenSerialize_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QByteArray>("saved");
        const auto same = [](const char *name, const char *bytes) { QTest::newRow(name) << hex(bytes) << hex(bytes); };
        same("full save", "f0f7 0d0a e1fcfcfce2fcfcfce3 0d0a e4fcfcfce5fcfcfce6 0d0a 0d0a");
        same("no entries", "f0f7 0d0a 0d0a");
        same("three empty fields", "f0f7 0d0a fcfcfcfcfcfc 0d0a 0d0a");
        same("one piece written back unchanged", "f0f7 0d0a e1 0d0a 0d0a");
        same("two pieces written back unchanged", "f0f7 0d0a e1fcfcfce2 0d0a 0d0a");
        same("four pieces written back unchanged", "f0f7 0d0a e1fcfcfce2fcfcfce3fcfcfce4 0d0a 0d0a");
        same("ten bars written back unchanged", "f0f7 0d0a fcfcfcfcfcfcfcfcfcfc 0d0a 0d0a");
        same("lone LF written back", "f0f7 0d0a e1 0a e2 0d0a 0a 0d0a 0d0a");
        same("NUL written back", "f0 00 f7 0d0a 00 e1 00 0d0a 0d0a");
        same("enciphered space written back", "f0f7 0d0a a0 0d0a 0d0a");
        QByteArray everyByteButCr = hex("f0f7 0d0a");
        for (int b = 0; b < 256; ++b) {
            if (b != '\r') {
                everyByteButCr.append(char(b));
            }
        }
        everyByteButCr.append(hex("0d0a 0d0a"));
        QTest::newRow("every byte but CR written back") << everyByteButCr << everyByteButCr;

        QTest::newRow("new file") << hex("0d0a") << hex("0d0a 0d0a");
        QTest::newRow("zero-byte file") << QByteArray() << hex("0d0a 0d0a");
        QTest::newRow("password only") << hex("f0f7 0d0a") << hex("f0f7 0d0a 0d0a");
        QTest::newRow("empty first line keeps its entries") << hex("0d0a e1 0d0a") << hex("0d0a e1 0d0a 0d0a");
        QTest::newRow("lone CRs become CR LF") << hex("f0f7 0d e1 0d e2") << hex("f0f7 0d0a e1 0d0a e2 0d0a 0d0a");
        QTest::newRow("skipped lines are dropped")
            << hex("f0f7 0d0a 20 0d0a 0d0a e1 0d0a 20") << hex("f0f7 0d0a e1 0d0a 0d0a");
    }
    void parseThenSerialize()
    {
        QFETCH(QByteArray, file);
        QFETCH(QByteArray, saved);
        const QByteArray password = ReferenceVault::passwordLineOf(VaultFormat::firstLine(file));
        QCOMPARE(VaultFormat::serialize(password, VaultFormat::parse(file)), saved);
    }

    // A large vault of random fields over everything the file can hold, with bars weighted up so that they land
    // at the edges of fields, survives a save and a load unchanged.
    void serializeThenParse_100000RandomEntries_giveTheSameFieldsAndBytes()
    {
        QRandomGenerator random(20261206);
        const auto randomField = [&](bool mayEndWithBar) {
            const int length = int(random.bounded(41));
            QByteArray field;
            field.reserve(length);
            while (field.size() < length) {
                char c;
                if (random.bounded(6) == 0) {
                    c = '|';
                } else {
                    c = char(random.bounded(256));
                }
                if (c == '\r' || c == '\n' || c == char(0x8D) || (c == '|' && field.endsWith("||"))) {
                    continue; // what no field can hold
                }
                field.append(c);
            }
            if (!mayEndWithBar && field.endsWith('|')) {
                field.back() = 'x';
            }
            return field;
        };

        Entries expected;
        for (int i = 0; i < 100000; ++i) {
            expected.push_back({randomField(false), randomField(false), randomField(true)});
        }
        const QByteArray password = randomField(true);
        const QByteArray file = VaultFormat::serialize(password, ReferenceVault::entriesOf(expected));

        QCOMPARE(ReferenceVault::passwordLineOf(VaultFormat::firstLine(file)), password);
        const std::vector<Entry> entries = VaultFormat::parse(file);
        const Entries read = fieldsOf(entries);
        QVERIFY2(read == expected, qPrintable(ReferenceVault::firstDifference(read, expected)));
        QVERIFY(VaultFormat::serialize(password, entries) == file);
    }
};

QTEST_GUILESS_MAIN(tst_VaultFormat)
#include "tst_VaultFormat.moc"
