// 100,000 random steps through the entry list and the store, as a long session of use: add, edit and delete
// (each saved at once) and header clicks that sort by a random column. After every step the list, and after
// every save the vault file, must match a model the test keeps by itself: plain fields in a vector, sorted with
// the test's own comparison, encoded with the test's own encoder. Every 5,000 steps the program "restarts": a
// fresh list and store load the file, which must give back the model as it was at the last save (a sort alone is
// not saved).
//
// It runs on a tmpfs of its own so that the saves cost little; where that is refused, on the ordinary temporary
// folder with a tenth of the steps, and reports itself skipped. BRISVANE_SOAK_STEPS and BRISVANE_SOAK_SEED change the
// run.

#include "reliability/PrivateTmpfs.h"
#include "support/VaultUnderTest.h"

#include "core/CodePage1252.h"

#include <QCollator>
#include <QElapsedTimer>
#include <QRandomGenerator>
#include <QTest>

#include <algorithm>
#include <memory>

using namespace Qt::StringLiterals;
using ReferenceVault::Entries;
using ReferenceVault::Fields;

namespace {

constexpr int Steps = 100'000;
constexpr int RestartEvery = 5'000;

// The list's order, worked out the slow and obvious way: texts compare character by character, each pair of
// characters as the locale's collator ranks them with letter case ignored; a text that runs out first sorts first.
class NaiveOrder {
public:
    explicit NaiveOrder(const QLocale &locale)
    {
        QCollator collator(locale);
        collator.setCaseSensitivity(Qt::CaseInsensitive);
        collator.setNumericMode(false);
        for (int a = 0; a < 256; ++a) {
            const QString ca(QChar(CodePage1252::toUnicode(static_cast<unsigned char>(a))));
            for (int b = 0; b < 256; ++b) {
                const QString cb(QChar(CodePage1252::toUnicode(static_cast<unsigned char>(b))));
                table_[a][b] = std::int8_t(std::clamp(collator.compare(ca, cb), -1, 1));
            }
        }
    }

    int compare(const QByteArray &a, const QByteArray &b) const
    {
        for (qsizetype i = 0; i < a.size() && i < b.size(); ++i) {
            if (const int c = table_[static_cast<unsigned char>(a[i])][static_cast<unsigned char>(b[i])]) {
                return c;
            }
        }
        return a.size() < b.size() ? -1 : (a.size() > b.size() ? 1 : 0);
    }

private:
    std::int8_t table_[256][256] = {};
};

// Random field texts that the file can hold, with many near-equal ones (same letters in another case, empty) so
// that sorting meets ties, which must keep their order.
class FieldMaker {
public:
    explicit FieldMaker(quint32 seed) : random_(seed) {}

    QByteArray field(bool mayEndWithBar)
    {
        static const QByteArray common[] = {"",
                                            "alice",
                                            "Alice",
                                            "ALICE",
                                            "bob",
                                            "B\xd6"
                                            "B",
                                            "b\xf6"
                                            "b",
                                            "\xe9t\xe9"};
        static const QByteArray letters = "aAbBcCyYzZ019 -_.@/:|\xe9\xc9\xf6\xd6\xdf\xff\x9f\x80";
        for (;;) {
            QByteArray text;
            if (random_.bounded(3) == 0) {
                text = common[random_.bounded(int(std::size(common)))];
            } else {
                const int length = int(random_.bounded(13));
                for (int i = 0; i < length; ++i) {
                    text += letters[random_.bounded(int(letters.size()))];
                }
            }
            if (!text.contains("|||") && (mayEndWithBar || !text.endsWith('|'))) {
                return text;
            }
        }
    }
    Fields entry() { return {field(false), field(false), field(true)}; }
    int below(int n) { return int(random_.bounded(n)); }

private:
    QRandomGenerator random_;
};

enum class Op { Add, Delete, Edit, Sort };

// Adds and deletes move the list's size towards the target; edits take the rest of the first 85 %, sorts the last 15 %.
Op chooseOp(int roll, size_t size, size_t target)
{
    const int adds = size < target ? 50 : 20;
    const int deletes = size > target ? 50 : 20;
    const Op op = roll < adds ? Op::Add : roll < adds + deletes ? Op::Delete : roll < 85 ? Op::Edit : Op::Sort;
    return size == 0 && (op == Op::Delete || op == Op::Edit) ? Op::Add : op;
}

int fromEnvironment(const char *name, int fallback)
{
    bool ok = false;
    const int value = qEnvironmentVariableIntValue(name, &ok);
    return ok && value > 0 ? value : fallback;
}

} // namespace

class tst_Soak : public QObject {
    Q_OBJECT

private slots:
    void randomSteps_listAndFileAlwaysMatchTheModel()
    {
        ScratchFolder disk;
        int steps = fromEnvironment("BRISVANE_SOAK_STEPS", Steps);
        const bool onTmpfs = disk.mountTmpfs("size=256m");
        if (!onTmpfs) {
            steps = std::max(steps / 10, 1);
            qInfo("a tenth of the steps there: %d", steps);
        }
        const QString folder = disk.path();
        const auto seed = quint32(fromEnvironment("BRISVANE_SOAK_SEED", 20240611));
        FieldMaker make(seed);
        const QLocale locale(QLocale::English, QLocale::UnitedStates);
        const TextOrder textOrder(locale);
        const NaiveOrder naive(locale);

        auto v = std::make_unique<VaultUnderTest>(folder);
        v->list.setTextOrder(textOrder);
        Entries model;
        Entries lastSaved;
        int sortKey = 0;
        bool descending = true; // the first header click sorts ascending
        int adds = 0, edits = 0, deletes = 0, sorts = 0, restarts = 0;
        size_t longest = 0;
        size_t target = 150; // the list drifts towards this size, which changes now and then

        QElapsedTimer clock;
        clock.start();
        for (int step = 1; step <= steps; ++step) {
            if (step % 2'000 == 1) {
                static const size_t targets[] = {0, 1, 2, 5, 40, 150, 300};
                target = targets[make.below(int(std::size(targets)))];
            }
            const Op op = chooseOp(make.below(100), model.size(), target);
            bool saved = true;
            if (op == Op::Add) {
                model.push_back(make.entry());
                v->list.appendEntry(ReferenceVault::entryOf(model.back()));
                ++adds;
            } else if (op == Op::Delete) {
                const int row = make.below(int(model.size()));
                model.erase(model.begin() + row);
                v->list.removeEntry(row);
                ++deletes;
            } else if (op == Op::Edit) {
                const int row = make.below(int(model.size()));
                model[size_t(row)] = make.entry();
                v->list.setEntry(row, ReferenceVault::entryOf(model[size_t(row)]));
                ++edits;
            } else {
                const int column = make.below(3);
                QVERIFY(v->list.sortByHeaderClick(column));
                // A click on an empty list changes nothing, not even the direction of the next one.
                if (!model.empty()) {
                    sortKey = column;
                    descending = !descending;
                    std::stable_sort(model.begin(), model.end(), [&](const Fields &a, const Fields &b) {
                        const int c = naive.compare(a[size_t(sortKey)], b[size_t(sortKey)]);
                        return descending ? c > 0 : c < 0;
                    });
                }
                saved = false;
                ++sorts;
            }
            longest = std::max(longest, model.size());

            if (saved) {
                QVERIFY2(v->save(), qPrintable(u"step %1: %2"_s.arg(step).arg(v->last.error)));
                QVERIFY2(v->onDisk() == v->fileOf(model), qPrintable(u"step %1: the file differs"_s.arg(step)));
                lastSaved = model;
            } else {
                const Entries listed = v->listed();
                QVERIFY2(listed == model, qPrintable(u"step %1, sorted by column %2 %3: %4"_s.arg(step)
                                                         .arg(sortKey + 1)
                                                         .arg(descending ? u"descending"_s : u"ascending"_s)
                                                         .arg(ReferenceVault::firstDifference(listed, model))));
            }

            if (step % RestartEvery == 0) {
                v = std::make_unique<VaultUnderTest>(folder);
                v->list.setTextOrder(textOrder);
                QVERIFY(v->store.isUnlocked());
                // A sort is not saved by itself: the file keeps the order of the last change.
                model = lastSaved;
                QVERIFY2(v->listed() == model, qPrintable(u"step %1: the reloaded list differs: %2"_s.arg(step).arg(
                                                   ReferenceVault::firstDifference(v->listed(), model))));
                descending = true; // a new list is unsorted again
                ++restarts;
            }
        }
        QVERIFY(v->listed() == model);
        QVERIFY(v->onDisk() == v->fileOf(lastSaved));
        QCOMPARE(ReferenceVault::leftovers(v->path), QStringList());
        qInfo(
            "%d steps in %lld ms (seed %u): %d adds, %d edits, %d deletes, %d sorts, %d restarts; at most %zu entries",
            steps, clock.elapsed(), seed, adds, edits, deletes, sorts, restarts, longest);
        if (!onTmpfs) {
            // Every step above was checked; only the full length of the soak is missing, and that must show.
            QSKIP("the full soak needs a tmpfs of its own; only a tenth of it ran");
        }
    }
};

QTEST_GUILESS_MAIN(tst_Soak)
#include "tst_Soak.moc"
