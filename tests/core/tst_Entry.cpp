// Splitting an entry line into its three fields, where bars sit at the edges of fields.

#include "core/Entry.h"
#include "core/StorableText.h"

#include <QTest>

using namespace Qt::StringLiterals;

namespace {

// Every text over {a, |} up to the given length, the empty one included.
QByteArrayList barTexts(int maxLength)
{
    QByteArrayList out = {QByteArray()};
    for (qsizetype i = 0; i < out.size(); ++i) {
        if (out[i].size() < maxLength) {
            out.append(out[i] + 'a');
            out.append(out[i] + '|');
        }
    }
    return out;
}

bool storable(const QByteArray &text, Entry::Field field)
{
    return !StorableText::whyNot(QString::fromLatin1(text), field).has_value();
}

} // namespace

class tst_Entry : public QObject {
    Q_OBJECT

private slots:
    void fromFields_barsAtFieldEdges_readBackUnchanged_data()
    {
        QTest::addColumn<QByteArray>("username");
        QTest::addColumn<QByteArray>("password");
        QTest::addColumn<QByteArray>("location");
        QTest::addColumn<QByteArray>("line");
        QTest::newRow("password starting with a bar") << "a"_ba
                                                      << "|b"_ba
                                                      << "c"_ba
                                                      << "a||||b|||c"_ba;
        QTest::newRow("password starting with two bars") << "a"_ba
                                                         << "||b"_ba
                                                         << "c"_ba
                                                         << "a|||||b|||c"_ba;
        QTest::newRow("user name starting with a bar") << "|a"_ba
                                                       << "b"_ba
                                                       << "c"_ba
                                                       << "|a|||b|||c"_ba;
        QTest::newRow("location a single bar") << ""_ba
                                               << ""_ba
                                               << "|"_ba
                                               << "|||||||"_ba;
        QTest::newRow("location starting and ending with bars") << "a"_ba
                                                                << "b"_ba
                                                                << "||c||"_ba
                                                                << "a|||b|||||c||"_ba;
        QTest::newRow("two bars inside fields") << "a||b"_ba
                                                << "c||d"_ba
                                                << "e"_ba
                                                << "a||b|||c||d|||e"_ba;
        QTest::newRow("all empty") << ""_ba
                                   << ""_ba
                                   << ""_ba
                                   << "||||||"_ba;
    }
    void fromFields_barsAtFieldEdges_readBackUnchanged()
    {
        QFETCH(QByteArray, username);
        QFETCH(QByteArray, password);
        QFETCH(QByteArray, location);
        QFETCH(QByteArray, line);
        const Entry written = Entry::fromFields(username, password, location);
        QCOMPARE(written.plainLine(), line);
        const Entry read = Entry::fromPlainLine(line);
        QCOMPARE(read.field(Entry::Username).toByteArray(), username);
        QCOMPARE(read.field(Entry::Password).toByteArray(), password);
        QCOMPARE(read.field(Entry::Location).toByteArray(), location);
        QCOMPARE(read, written);
    }

    // The rules of what can be stored are exactly strong enough: every triple of fields they accept reads back
    // as the same three fields. Tries every text over {a, |} up to four characters in every field.
    void fromFields_everyStorableTriple_readsBackTheSameFields()
    {
        const QByteArrayList texts = barTexts(4);
        QByteArrayList users, passwords, locations;
        for (const QByteArray &t : texts) {
            if (storable(t, Entry::Username)) {
                users.append(t);
            }
            if (storable(t, Entry::Password)) {
                passwords.append(t);
            }
            if (storable(t, Entry::Location)) {
                locations.append(t);
            }
        }
        QVERIFY(users.contains("|a") && passwords.contains("a||a") && locations.contains("a|"));

        for (const QByteArray &u : users) {
            for (const QByteArray &p : passwords) {
                for (const QByteArray &l : locations) {
                    const Entry read = Entry::fromPlainLine(Entry::fromFields(u, p, l).plainLine());
                    if (read.field(Entry::Username) != u || read.field(Entry::Password) != p ||
                        read.field(Entry::Location) != l) {
                        QFAIL(qPrintable(u"\"%1\" \"%2\" \"%3\" reads back as \"%4\" \"%5\" \"%6\""_s.arg(
                            QString::fromLatin1(u), QString::fromLatin1(p), QString::fromLatin1(l),
                            QString::fromLatin1(read.field(Entry::Username)),
                            QString::fromLatin1(read.field(Entry::Password)),
                            QString::fromLatin1(read.field(Entry::Location)))));
                    }
                }
            }
        }
    }

    // A line read from a file may be anything; the three fields are views into it and must stay inside it, in
    // order, and put together with the separators they give the line back.
    void fromPlainLine_anyLine_fieldsStayInsideTheLine()
    {
        for (const QByteArray &line : barTexts(10)) {
            const Entry e = Entry::fromPlainLine(line);
            const QByteArrayView all(e.plainLine());
            const QByteArrayView u = e.field(Entry::Username), p = e.field(Entry::Password),
                                 l = e.field(Entry::Location);
            const char *begin = all.data(), *end = all.data() + all.size();
            for (const QByteArrayView f : {u, p, l}) {
                QVERIFY2(f.isEmpty() || (f.data() >= begin && f.data() + f.size() <= end), line.constData());
            }
            QVERIFY2(u.data() + u.size() <= p.data() && p.data() + p.size() <= l.data() + l.size(), line.constData());
            QCOMPARE(e.plainLine(), line);
            const qsizetype first = line.indexOf("|||");
            if (first >= 0 && line.indexOf("|||", first + 3) >= 0) {
                // Both separators found: nothing is lost between the fields.
                QCOMPARE(u.toByteArray() + "|||" + p.toByteArray() + "|||" + l.toByteArray(), line);
            } else {
                QCOMPARE(u.size() + p.size() + l.size() + (first >= 0 ? 3 : 0), line.size());
            }
        }
    }

    void fromText_windows1252Characters_keepTheirBytes()
    {
        const Entry e = Entry::fromText(u"\u20ACuro"_s, u"\u0160\u00FF"_s, u"caf\u00E9"_s);
        QCOMPARE(e.field(Entry::Username).toByteArray(), QByteArray::fromHex("80 75 72 6f"));
        QCOMPARE(e.field(Entry::Password).toByteArray(), QByteArray::fromHex("8a ff"));
        QCOMPARE(e.field(Entry::Location).toByteArray(), QByteArray::fromHex("63 61 66 e9"));
        QCOMPARE(e.text(Entry::Username), u"\u20ACuro"_s);
        QCOMPARE(e.text(Entry::Password), u"\u0160\u00FF"_s);
        QCOMPARE(e.text(Entry::Location), u"caf\u00E9"_s);
    }
};

QTEST_GUILESS_MAIN(tst_Entry)
#include "tst_Entry.moc"
