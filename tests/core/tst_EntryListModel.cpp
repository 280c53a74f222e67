// The entry list: the model under Qt's model checker, the header-click sort rule, the order texts sort in, and
// that sorting moves the stored entries themselves, so that the next save follows the display.

#include "core/CodePage1252.h"
#include "core/EntryListModel.h"
#include "core/EntryStore.h"
#include "core/TextOrder.h"
#include "core/VaultFormat.h"
#include "core/VaultStore.h"
#include "support/ReferenceVault.h"

#include <QAbstractItemModelTester>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

struct SortState {
    bool sorted;
    Entry::Field key;
    Qt::SortOrder order;
    friend bool operator==(const SortState &, const SortState &) = default;
};
Q_DECLARE_METATYPE(SortState)

char *toString(const SortState &s)
{
    return qstrdup(qPrintable(u"sorted=%1 key=%2 %3"_s.arg(s.sorted).arg(s.key).arg(
        s.order == Qt::AscendingOrder ? u"ascending"_s : u"descending"_s)));
}

namespace {

const QLocale English(QLocale::English, QLocale::UnitedStates);
const char *const ColumnNames[] = {"username", "password", "location"};

// One column of the list as the view shows it, top to bottom.
QStringList column(const EntryListModel &model, int col)
{
    QStringList out;
    for (int row = 0; row < model.rowCount(); ++row) {
        out.append(model.data(model.index(row, col)).toString());
    }
    return out;
}

// Each entry as "user|password|location", in the order the model stores (and a save writes) them.
QStringList stored(const EntryListModel &model)
{
    QStringList out;
    for (const Entry &e : model.entries()) {
        out.append(e.text(Entry::Username) + u'|' + e.text(Entry::Password) + u'|' + e.text(Entry::Location));
    }
    return out;
}

// Rows whose text in the given column is taken from `keys`; the other columns number the rows, so that rows
// with equal keys can be told apart.
std::vector<Entry> rowsKeyedBy(const QStringList &keys, int col)
{
    std::vector<Entry> out;
    for (qsizetype i = 0; i < keys.size(); ++i) {
        QString fields[3] = {u"u%1"_s.arg(i), u"p%1"_s.arg(i), u"l%1"_s.arg(i)};
        fields[col] = keys[i];
        out.push_back(Entry::fromText(fields[0], fields[1], fields[2]));
    }
    return out;
}

QByteArray bytes1252(const QString &text)
{
    QByteArray out;
    CodePage1252::fromUnicode(text, out);
    return out;
}

SortState stateOf(const EntryListModel &m)
{
    return {m.isSorted(), m.sortKey(), m.sortOrder()};
}

} // namespace

class tst_EntryListModel : public QObject {
    Q_OBJECT

private slots:
    void modelChecker_appendSetRemoveAndSort_staysConsistent()
    {
        EntryListModel model;
        model.setTextOrder(TextOrder(English));
        QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);

        model.appendEntries({});
        QCOMPARE(model.rowCount(), 0);
        model.appendEntries(rowsKeyedBy({u"delta"_s, u"alpha"_s, u"charlie"_s}, 0));
        model.appendEntries(rowsKeyedBy({u"bravo"_s}, 0));
        model.appendEntry(Entry::fromText(u"echo"_s, u"e"_s, u"E"_s));
        QCOMPARE(model.rowCount(), 5);
        model.setEntry(1, Entry::fromText(u"alpha2"_s, u"pw"_s, u"site"_s));
        QCOMPARE(model.data(model.index(1, Entry::Password)).toString(), u"pw"_s);

        QPersistentModelIndex echo(model.index(4, 2));
        QVERIFY(model.sortByHeaderClick(0));
        QCOMPARE(column(model, 0), (QStringList{u"alpha2"_s, u"bravo"_s, u"charlie"_s, u"delta"_s, u"echo"_s}));
        QCOMPARE(echo.row(), 4);
        QVERIFY(model.sortByHeaderClick(0));
        QCOMPARE(echo.row(), 0);
        QCOMPARE(echo.data().toString(), u"E"_s);

        model.removeEntry(0);
        QVERIFY(!echo.isValid());
        model.removeEntry(model.rowCount() - 1);
        QCOMPARE(column(model, 0), (QStringList{u"delta"_s, u"charlie"_s, u"bravo"_s}));
        while (model.rowCount() > 0) {
            model.removeEntry(0);
        }
        QVERIFY(model.entries().empty());
    }

    void modelChecker_headersAndOutOfRangeIndexes()
    {
        EntryListModel model;
        QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
        model.appendEntry(Entry::fromText(u"u"_s, u"p"_s, u"l"_s));
        QCOMPARE(model.headerData(0, Qt::Horizontal).toString(), u"Username"_s);
        QCOMPARE(model.headerData(1, Qt::Horizontal).toString(), u"Password"_s);
        QCOMPARE(model.headerData(2, Qt::Horizontal).toString(), u"Website/Location"_s);
        QVERIFY(!model.data(model.index(1, 0)).isValid());
        QVERIFY(!model.data(QModelIndex()).isValid());
        // The list is flat: no row has children.
        QCOMPARE(model.rowCount(model.index(0, 0)), 0);
        QCOMPARE(model.columnCount(model.index(0, 0)), 0);
    }

    void headerClick_emptyList_changesNothing_data()
    {
        QTest::addColumn<SortState>("initial");
        QTest::addColumn<int>("header");
        QTest::newRow("fresh list, Username") << SortState{false, Entry::Username, Qt::DescendingOrder} << 0;
        QTest::newRow("fresh list, Website") << SortState{false, Entry::Username, Qt::DescendingOrder} << 2;
        QTest::newRow("sorted by password, ascending") << SortState{true, Entry::Password, Qt::AscendingOrder} << 0;
        QTest::newRow("sorted by location, descending") << SortState{true, Entry::Location, Qt::DescendingOrder} << 1;
    }
    void headerClick_emptyList_changesNothing()
    {
        QFETCH(SortState, initial);
        QFETCH(int, header);
        EntryListModel model;
        model.setSortSettings(initial.sorted, initial.key, initial.order);
        QVERIFY(model.sortByHeaderClick(header));
        QVERIFY(model.sortByHeaderClick(header));
        QCOMPARE(stateOf(model), initial);
    }

    void headerClick_sameHeaderTwice_givesBothOrders_data()
    {
        QTest::addColumn<int>("header");
        QTest::newRow("Username") << 0;
        QTest::newRow("Password") << 1;
        QTest::newRow("Website/Location") << 2;
    }
    void headerClick_sameHeaderTwice_givesBothOrders()
    {
        QFETCH(int, header);
        const auto col = Entry::Field(header);
        EntryListModel model;
        model.setTextOrder(TextOrder(English));
        model.appendEntries(rowsKeyedBy({u"m"_s, u"b"_s, u"z"_s, u"a"_s}, col));

        QVERIFY(model.sortByHeaderClick(header));
        QCOMPARE(stateOf(model), (SortState{true, col, Qt::AscendingOrder}));
        QCOMPARE(column(model, col), (QStringList{u"a"_s, u"b"_s, u"m"_s, u"z"_s}));
        QVERIFY(model.sortByHeaderClick(header));
        QCOMPARE(stateOf(model), (SortState{true, col, Qt::DescendingOrder}));
        QCOMPARE(column(model, col), (QStringList{u"z"_s, u"m"_s, u"b"_s, u"a"_s}));
    }

    void headerClick_otherHeader_flipsDirectionOfThePreviousSort()
    {
        EntryListModel model;
        model.setTextOrder(TextOrder(English));
        model.appendEntry(Entry::fromText(u"ann"_s, u"3"_s, u"x"_s));
        model.appendEntry(Entry::fromText(u"bob"_s, u"1"_s, u"y"_s));
        model.appendEntry(Entry::fromText(u"cid"_s, u"2"_s, u"z"_s));

        model.sortByHeaderClick(0);
        QCOMPARE(column(model, 0), (QStringList{u"ann"_s, u"bob"_s, u"cid"_s}));
        // Username ascending, then the Password header: by password, descending.
        model.sortByHeaderClick(1);
        QCOMPARE(stateOf(model), (SortState{true, Entry::Password, Qt::DescendingOrder}));
        QCOMPARE(column(model, 1), (QStringList{u"3"_s, u"2"_s, u"1"_s}));
        QCOMPARE(column(model, 0), (QStringList{u"ann"_s, u"cid"_s, u"bob"_s}));
        model.sortByHeaderClick(2);
        QCOMPARE(stateOf(model), (SortState{true, Entry::Location, Qt::AscendingOrder}));
        QCOMPARE(column(model, 2), (QStringList{u"x"_s, u"y"_s, u"z"_s}));
    }

    void headerClick_oneRow_turnsSortingOnAndKeepsTheRow()
    {
        EntryListModel model;
        QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
        model.appendEntry(Entry::fromText(u"only"_s, u"pw"_s, u"site"_s));
        QVERIFY(!model.isSorted());
        QVERIFY(model.sortByHeaderClick(1));
        QCOMPARE(stateOf(model), (SortState{true, Entry::Password, Qt::AscendingOrder}));
        QCOMPARE(stored(model), QStringList{u"only|pw|site"_s});
    }

    void headerClick_unknownHeader_reportsFailureAndKeepsOrder_data()
    {
        QTest::addColumn<int>("header");
        QTest::newRow("3") << 3;
        QTest::newRow("large") << 1000;
        QTest::newRow("negative") << -1;
    }
    void headerClick_unknownHeader_reportsFailureAndKeepsOrder()
    {
        QFETCH(int, header);
        EntryListModel model;
        model.appendEntries(rowsKeyedBy({u"b"_s, u"a"_s}, 0));
        QVERIFY(!model.sortByHeaderClick(header));
        QCOMPARE(column(model, 0), (QStringList{u"b"_s, u"a"_s}));
    }

    // The order of one column after one ascending sort; the same table read backwards is the descending one,
    // except that rows with equal keys keep their order in both.
    void sort_textOrder_data()
    {
        QTest::addColumn<QStringList>("keys");
        QTest::addColumn<QList<int>>("ascending"); // original row numbers, top to bottom
        QTest::addColumn<QList<int>>("descending");
        QTest::newRow("letter case ignored")
            << QStringList{u"cherry"_s, u"Banana"_s, u"apple"_s} << QList<int>{2, 1, 0} << QList<int>{0, 1, 2};
        QTest::newRow("capitals do not sort first")
            << QStringList{u"b"_s, u"C"_s, u"a"_s, u"B"_s} << QList<int>{2, 0, 3, 1} << QList<int>{1, 0, 3, 2};
        QTest::newRow("digits by text, not by value")
            << QStringList{u"9"_s, u"10"_s, u"100"_s, u"2"_s} << QList<int>{1, 2, 3, 0} << QList<int>{0, 3, 2, 1};
        QTest::newRow("shorter prefix first")
            << QStringList{u"abc"_s, u"ab"_s, u"a"_s, u""_s} << QList<int>{3, 2, 1, 0} << QList<int>{0, 1, 2, 3};
        QTest::newRow("equal keys keep their order") << QStringList{u"x"_s, u"a"_s, u"x"_s, u"a"_s, u"x"_s}
                                                     << QList<int>{1, 3, 0, 2, 4} << QList<int>{0, 2, 4, 1, 3};
        QTest::newRow("keys equal but for case keep their order")
            << QStringList{u"Kim"_s, u"kim"_s, u"KIM"_s, u"al"_s} << QList<int>{3, 0, 1, 2} << QList<int>{0, 1, 2, 3};
        QTest::newRow("long shared prefix")
            << QStringList{u"https://www.example.com/b"_s, u"https://www.example.com/a"_s,
                           u"https://www.example.com/"_s}
            << QList<int>{2, 1, 0} << QList<int>{0, 1, 2};
        QTest::newRow("difference after the eighth character")
            << QStringList{u"abcdefghZ"_s, u"ABCDEFGHa"_s, u"abcdefgh"_s} << QList<int>{2, 1, 0} << QList<int>{0, 1, 2};
    }
    void sort_textOrder()
    {
        QFETCH(QStringList, keys);
        QFETCH(QList<int>, ascending);
        QFETCH(QList<int>, descending);
        for (int col = 0; col < Entry::FieldCount; ++col) {
            EntryListModel model;
            model.setTextOrder(TextOrder(English));
            const std::vector<Entry> rows = rowsKeyedBy(keys, col);
            model.appendEntries(rows);
            const auto expect = [&](const QList<int> &order) {
                QStringList out;
                for (int i : order) {
                    out.append(rows[size_t(i)].text(Entry::Username) + u'|' + rows[size_t(i)].text(Entry::Password) +
                               u'|' + rows[size_t(i)].text(Entry::Location));
                }
                return out;
            };
            model.sortByHeaderClick(col);
            QCOMPARE(stored(model), expect(ascending));
            model.sortByHeaderClick(col);
            QCOMPARE(stored(model), expect(descending));
        }
    }

    // Sorting must give what a stable sort by TextOrder::compare gives, both ways. Many rows over a small alphabet:
    // ties in the first eight characters and in the first thirty-two, texts equal but for case, prefixes of each
    // other, and more rows than the sort puts in order within the processor's caches. A group of rows alike for their
    // first 24 characters, which the sort orders by comparing the texts. Rows of which one alone differs in a byte
    // that all the others share.
    void sort_rows_matchStableSortByCompare_data()
    {
        QTest::addColumn<QByteArrayList>("texts"); // field c of row i is texts[(i + c) % texts.size()]
        QRandomGenerator random(7);
        const QByteArray alphabet = QByteArray("aAbB:/.") + bytes1252(u"áÁ"_s);
        const auto randomText = [&](QByteArray t, QByteArrayView letters, int most) {
            for (int n = int(random.bounded(most + 1)); n > 0; --n) {
                t.append(letters[random.bounded(int(letters.size()))]);
            }
            return t;
        };
        QByteArrayList many;
        for (int i = 0; i < 40000; ++i) {
            const QByteArray start = QByteArrayList{"", "https://www.", "https://www.example.com/account/"}[i % 3];
            // After the longest start only "a" and "A", which weigh alike: long runs of rows whose texts are equal.
            many.append(start.size() > 12 ? randomText(start, "aA", 40) : randomText(start, alphabet, 13));
        }
        QTest::newRow("40,000 random rows") << many;
        QByteArrayList alike;
        for (int i = 0; i < 30; ++i) {
            alike.append(randomText(i % 2 ? "https://www.example.com/" : "HTTPS://WWW.EXAMPLE.COM/", alphabet, 6));
        }
        QTest::newRow("30 rows alike for 24 characters") << alike;
        QByteArrayList oneApart;
        for (int i = 0; i < 60; ++i) {
            oneApart.append(i == 0 ? "aabaaaak" : "aaaaaaa" + QByteArray(1, char('b' + i % 20)));
        }
        QTest::newRow("60 rows, one apart in a byte the others share") << oneApart;
    }
    void sort_rows_matchStableSortByCompare()
    {
        QFETCH(QByteArrayList, texts);
        const TextOrder order(English);
        std::vector<Entry> rows;
        const qsizetype n = texts.size();
        for (qsizetype i = 0; i < n; ++i) {
            rows.push_back(Entry::fromFields(texts[i], texts[(i + 1) % n], texts[(i + 2) % n]));
        }
        for (int col = 0; col < Entry::FieldCount; ++col) {
            const auto field = Entry::Field(col);
            for (const bool ascending : {true, false}) {
                std::vector<Entry> expected = rows;
                std::stable_sort(expected.begin(), expected.end(), [&](const Entry &a, const Entry &b) {
                    const int c = order.compare(a.field(field), b.field(field));
                    return ascending ? c < 0 : c > 0;
                });
                EntryListModel model;
                model.setTextOrder(order);
                model.appendEntries(rows);
                model.setSortSettings(true, Entry::Field(col), ascending ? Qt::AscendingOrder : Qt::DescendingOrder);
                QVERIFY2(model.entries() == expected, ColumnNames[col]);
            }
        }
    }

    // The list sorts in the user's locale; the rules that hold in every locale hold in the one this runs in.
    void sort_systemLocale_ignoresCaseAndNumbers()
    {
        EntryListModel model;
        model.appendEntries(rowsKeyedBy({u"cherry"_s, u"9"_s, u"apple"_s, u"10"_s, u"Banana"_s}, 0));
        model.sortByHeaderClick(0);
        QCOMPARE(column(model, 0), (QStringList{u"10"_s, u"9"_s, u"apple"_s, u"Banana"_s, u"cherry"_s}));
    }

    void sort_addedAndChangedRows_stayWhereTheyAre()
    {
        EntryListModel model;
        model.setTextOrder(TextOrder(English));
        model.appendEntries(rowsKeyedBy({u"b"_s, u"d"_s}, 0));
        model.sortByHeaderClick(0);
        model.appendEntry(Entry::fromText(u"a"_s, u""_s, u""_s));
        model.setEntry(0, Entry::fromText(u"z"_s, u""_s, u""_s));
        QCOMPARE(column(model, 0), (QStringList{u"z"_s, u"d"_s, u"a"_s}));
        // The next header click sorts everything again.
        model.sortByHeaderClick(0);
        QCOMPARE(column(model, 0), (QStringList{u"z"_s, u"d"_s, u"a"_s}));
        model.sortByHeaderClick(0);
        QCOMPARE(column(model, 0), (QStringList{u"a"_s, u"d"_s, u"z"_s}));
    }

    void sort_thenSave_writesTheDisplayedOrder()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        EntryListModel model;
        model.setTextOrder(TextOrder(English));
        model.appendEntries(rowsKeyedBy({u"carol"_s, u"alice"_s, u"bob"_s}, 0));
        VaultStore store(model, dir.filePath(u"data.enc"_s));
        QVERIFY(ReferenceVault::writeFile(dir.filePath(u"data.enc"_s), ReferenceVault::file("master", {})));
        QVERIFY(store.checkFirstRun().gate == VaultStore::FirstRun::Gate::EnterPassword &&
                store.unlock(u"master"_s).ok);

        model.sortByHeaderClick(0);
        model.sortByHeaderClick(0);
        const VaultStore::Outcome saved = store.save();
        QVERIFY2(saved.confirmed(), qPrintable(saved.error));

        const QByteArray file = ReferenceVault::readAll(dir.filePath(u"data.enc"_s));
        QCOMPARE(ReferenceVault::passwordLineOf(file), QByteArray("master"));
        QStringList written;
        for (const Entry &e : VaultFormat::parse(file)) {
            written.append(e.text(Entry::Username));
        }
        QCOMPARE(written, (QStringList{u"carol"_s, u"bob"_s, u"alice"_s}));
        QCOMPARE(written, column(model, 0));
    }

    // A field longer than a cell shows: the cell and its tooltip get its start and "…", while the accessible
    // text, the entry and the saved file keep every byte.
    void longField_cellShowsItsStart_restStaysWhole_data()
    {
        QTest::addColumn<int>("col");
        QTest::addColumn<qsizetype>("length");
        for (int col = 0; col < Entry::FieldCount; ++col) {
            QTest::addRow("%s, as long as a cell shows", ColumnNames[col]) << col << EntryListModel::ShownLength;
            QTest::addRow("%s, one more", ColumnNames[col]) << col << EntryListModel::ShownLength + 1;
        }
        QTest::newRow("password, 3 MB") << 1 << qsizetype(3) * 1024 * 1024;
    }
    void longField_cellShowsItsStart_restStaysWhole()
    {
        QFETCH(int, col);
        QFETCH(qsizetype, length);
        // Letters beyond ASCII too, so that the shown start is decoded and not just cut from the bytes.
        const QByteArray pattern = bytes1252(u"aZ9 é€|"_s);
        QByteArray field(length, Qt::Uninitialized);
        for (qsizetype i = 0; i < length; ++i) {
            field[i] = pattern[i % pattern.size()];
        }
        ReferenceVault::Fields fields{"user", "pw", "www.example.org"};
        fields[size_t(col)] = field;
        EntryListModel model;
        model.appendEntry(ReferenceVault::entryOf(fields));

        const QString whole = CodePage1252::toUnicode(field);
        const bool cut = length > EntryListModel::ShownLength;
        const QString shown = cut ? whole.first(EntryListModel::ShownLength) + u"…"_s : whole;
        const QModelIndex cell = model.index(0, col);
        QCOMPARE(model.data(cell, Qt::DisplayRole).toString(), shown);
        QCOMPARE(model.data(cell, Qt::ToolTipRole).toString(), shown);
        const QString spoken = model.data(cell, Qt::AccessibleTextRole).toString();
        QVERIFY(spoken.endsWith(whole) && spoken.size() - whole.size() < 20);
        QVERIFY(model.entry(0).field(Entry::Field(col)) == field);

        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        VaultStore store(model, dir.filePath(u"data.enc"_s));
        QVERIFY(ReferenceVault::writeFile(dir.filePath(u"data.enc"_s), ReferenceVault::file("master", {})));
        QVERIFY(store.checkFirstRun().gate == VaultStore::FirstRun::Gate::EnterPassword &&
                store.unlock(u"master"_s).ok);
        QVERIFY(store.save().confirmed());
        QVERIFY(ReferenceVault::readAll(dir.filePath(u"data.enc"_s)) == ReferenceVault::file("master", {fields}));
    }

    void textOrder_letterCaseSharesAWeight()
    {
        const TextOrder order(English);
        for (char c = 'a'; c <= 'z'; ++c) {
            QCOMPARE(order.compare(QByteArray(1, c), QByteArray(1, char(c - 'a' + 'A'))), 0);
        }
        // Windows-1252 capitals and small letters beyond ASCII.
        QCOMPARE(order.compare("\xE9", "\xC9"), 0); // é É
        QCOMPARE(order.compare("\x9A", "\x8A"), 0); // š Š
        QCOMPARE(order.compare("\xFF", "\x9F"), 0); // ÿ Ÿ
        QCOMPARE(order.compare("Hello", "hELLO"), 0);
    }

    void textOrder_accentedLetterSortsNextToItsBase_data()
    {
        QTest::addColumn<QString>("accented");
        QTest::addColumn<QChar>("base");
        for (const QString &a : {u"á"_s, u"à"_s, u"â"_s, u"ä"_s, u"å"_s, u"ã"_s}) {
            QTest::addRow("%s", qPrintable(a)) << a << QChar(u'a');
        }
        QTest::newRow("ç") << u"ç"_s << QChar(u'c');
        QTest::newRow("é") << u"é"_s << QChar(u'e');
        QTest::newRow("ñ") << u"ñ"_s << QChar(u'n');
        QTest::newRow("Ö") << u"Ö"_s << QChar(u'o');
        QTest::newRow("ü") << u"ü"_s << QChar(u'u');
        QTest::newRow("š") << u"š"_s << QChar(u's');
    }
    void textOrder_accentedLetterSortsNextToItsBase()
    {
        QFETCH(QString, accented);
        QFETCH(QChar, base);
        const TextOrder order(English);
        const QByteArray a = bytes1252(accented);
        const QByteArray b(1, char(base.unicode()));
        const QByteArray next(1, char(base.unicode() + 1));
        QVERIFY(order.compare(b, a) < 0);
        QVERIFY(order.compare(a, next) < 0);
        // Not after the next letter either, whatever follows it.
        QVERIFY(order.compare(a + "zz", next) < 0);
        QVERIFY(order.compare(next, a + "zz") > 0);
    }

    void textOrder_keyAgreesWithCompare()
    {
        const TextOrder order(English);
        QRandomGenerator random(20240611);
        // A small alphabet makes long shared prefixes and equal texts common; bytes over 0x7F and the control
        // bytes are mixed in.
        const QByteArray alphabet = QByteArray("aAbB |0") + bytes1252(u"áÁ€ž"_s) + QByteArray("\x01\x7f", 2);
        const auto text = [&] {
            QByteArray t;
            const int n = int(random.bounded(12));
            for (int i = 0; i < n; ++i) {
                t.append(alphabet[random.bounded(int(alphabet.size()))]);
            }
            return t;
        };
        for (int i = 0; i < 20000; ++i) {
            const QByteArray a = text();
            const QByteArray b = random.bounded(4) == 0 ? a.left(random.bounded(int(a.size()) + 1)) + text() : text();
            const int c = order.compare(a, b);
            const std::uint64_t ka = order.key(a);
            const std::uint64_t kb = order.key(b);
            const int back = order.compare(b, a);
            QVERIFY2((c < 0) == (back > 0) && (c == 0) == (back == 0), "compare is not antisymmetric");
            if (ka < kb) {
                QVERIFY2(c < 0, qPrintable(u"keys disagree: %1 / %2"_s.arg(QString::fromLatin1(a.toHex()),
                                                                           QString::fromLatin1(b.toHex()))));
            } else if (ka > kb) {
                QVERIFY2(c > 0, qPrintable(u"keys disagree: %1 / %2"_s.arg(QString::fromLatin1(a.toHex()),
                                                                           QString::fromLatin1(b.toHex()))));
            }
            if (c == 0) {
                QCOMPARE(ka, kb);
            }
        }
    }
};

QTEST_GUILESS_MAIN(tst_EntryListModel)
#include "tst_EntryListModel.moc"
