// The entry list at 100,000 and 1,000,000 entries: filling it from a vault file's contents, sorting it by each
// column, its first paint, and the whole unlock (read, parse, fill, paint). Every figure stands beside a baseline
// measured in the same run: a bare reader into std::string, std::sort over std::string keys, a tree view over a
// model that returns one fixed text, and for the unlock the least any reader does: the file read into one buffer,
// every byte's bit 7 flipped and each line split at "|||" into views of that buffer. Peak memory is measured in a
// fresh process per size and variant, after the unlock and again after a sort by each column.
//
//   bench_list                          all timings, then the peak memory table
//   bench_list --peak ours|baseline N FILE   one unlock, paint and three sorts; prints the process's peak memory
//
// Google Benchmark's own options (--benchmark_filter=...) work as usual. The aims are printed beside the figures;
// missing one is reported, never failed on. The machine may be shared, so ratios and the sort's aim use processor
// time, which other programs disturb far less than the time on the clock.

#include "core/EntryListModel.h"
#include "core/VaultFile.h"
#include "core/VaultFormat.h"
#include "core/VaultStore.h"
#include "ui/EntryListView.h"

#include "Figures.h"

#include <QAbstractTableModel>
#include <QApplication>
#include <QFile>
#include <QHeaderView>
#include <QPixmap>
#include <QProcess>
#include <QTemporaryDir>
#include <QTreeView>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <fstream>
#include <map>
#include <random>
#include <string>

using namespace Qt::StringLiterals;

namespace {

constexpr std::array<int, 2> Sizes{100'000, 1'000'000};
const char *const ColumnNames[] = {"username", "password", "location"};

// Entries shaped like a real vault's: user names from a few name parts, random passwords, and locations with the
// long shared prefixes ("https://www.") that make sorting by location the slowest.
std::vector<Entry> makeEntries(int n)
{
    static const char *const first[] = {"alice", "Bob",  "carol",   "dave", "Erin",   "frank", "grace",  "heidi",
                                        "ivan",  "judy", "Mallory", "niaj", "olivia", "peggy", "rupert", "sybil"};
    static const char *const words[] = {"bank",   "mail", "shop",  "forum", "news",  "cloud",  "photos", "travel",
                                        "school", "work", "games", "music", "video", "health", "tax",    "energy"};
    static const char alphabet[] = "abcdefghijkmnopqrstuvwxyzABCDEFGHJKLMNPQRSTUVWXYZ23456789!#$%&*+-=?@_";
    std::mt19937 random(20240611);
    const auto pick = [&](auto &list) { return list[random() % std::size(list)]; };
    std::vector<Entry> out;
    out.reserve(size_t(n));
    for (int i = 0; i < n; ++i) {
        const std::string user = std::string(pick(first)) + "." + pick(words) + std::to_string(random() % 10000);
        std::string password(8 + random() % 9, ' ');
        for (char &c : password) {
            c = alphabet[random() % (sizeof alphabet - 1)];
        }
        const std::string word = std::string(pick(words)) + std::to_string(random() % 100000);
        std::string location;
        switch (random() % 5) {
        case 0:
            location = "www." + word + ".com";
            break;
        case 1:
            location = "\\\\files\\shared\\" + word;
            break;
        default:
            location = "https://www." + word + ".example.com/account/login";
            break;
        }
        out.push_back(Entry::fromFields(QByteArrayView(user.data(), qsizetype(user.size())),
                                        QByteArrayView(password.data(), qsizetype(password.size())),
                                        QByteArrayView(location.data(), qsizetype(location.size()))));
    }
    return out;
}

// Built once per size and shared by every benchmark of that size.
struct Data {
    std::vector<Entry> entries;
    QByteArray vault; // the file's bytes for these entries
    QString path;     // the same bytes on disk
};

QTemporaryDir &scratch()
{
    static QTemporaryDir dir;
    return dir;
}

const Data &data(int n)
{
    static std::map<int, Data> cache;
    auto it = cache.find(n);
    if (it == cache.end()) {
        Data d;
        d.entries = makeEntries(n);
        d.vault = VaultFormat::serialize("master", d.entries);
        d.path = scratch().filePath(u"data-%1.enc"_s.arg(n));
        QFile file(d.path);
        if (!file.open(QIODevice::WriteOnly) || file.write(d.vault) != d.vault.size()) {
            qFatal("could not write the benchmark vault");
        }
        it = cache.emplace(n, std::move(d)).first;
    }
    return it->second;
}

// The baseline's reader: decipher each line and split it into three std::strings, nothing more.
std::vector<std::array<std::string, 3>> bareRead(QByteArrayView file)
{
    std::vector<std::array<std::string, 3>> rows;
    qsizetype start = file.indexOf('\n') + 1; // line 1 is the master password
    while (start < file.size()) {
        qsizetype end = file.indexOf('\n', start);
        if (end < 0) {
            end = file.size();
        }
        std::string line(file.data() + start, size_t(end - start));
        start = end + 1;
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        if (line.empty()) {
            continue;
        }
        for (char &c : line) {
            c = char(uchar(c) ^ 0x80);
        }
        std::array<std::string, 3> row;
        size_t from = 0;
        for (int f = 0; f < 2; ++f) {
            const size_t bar = line.find("|||", from);
            row[size_t(f)] = line.substr(from, bar == std::string::npos ? std::string::npos : bar - from);
            from = bar == std::string::npos ? line.size() : bar + 3;
        }
        row[2] = line.substr(std::min(from, line.size()));
        rows.push_back(std::move(row));
    }
    return rows;
}

// The unlock's baseline: the file read into one buffer, flipped and split into views. Returns the rows found.
size_t readFlipSplit(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return 0;
    }
    QByteArray bytes = file.readAll();
    for (char &c : bytes) {
        c = char(c ^ 0x80);
    }
    // Deciphered, CR LF is 8D 8A and "|||" is FC FC FC.
    const std::string_view all(bytes.constData(), size_t(bytes.size()));
    constexpr std::string_view LineEnd("\x8D\x8A", 2);
    constexpr std::string_view Bars("\xFC\xFC\xFC", 3);
    std::vector<std::array<std::string_view, 3>> rows;
    rows.reserve(all.size() / 48);
    size_t pos = std::min(all.find(LineEnd), all.size()); // line 1 is the master password
    while (pos < all.size()) {
        pos += 2;
        const size_t end = std::min(all.find(LineEnd, pos), all.size());
        const std::string_view line = all.substr(pos, end - pos);
        pos = end;
        if (line.empty()) {
            continue;
        }
        const size_t first = std::min(line.find(Bars), line.size());
        const size_t second = std::min(line.find(Bars, std::min(first + 3, line.size())), line.size());
        rows.push_back({line.substr(0, first), line.substr(std::min(first + 3, line.size()), second - first - 3),
                        line.substr(std::min(second + 3, line.size()))});
    }
    benchmark::DoNotOptimize(rows.data());
    return rows.size();
}

// The paint baseline: as many rows, each cell one fixed text.
class FixedTextModel final : public QAbstractTableModel {
public:
    explicit FixedTextModel(int rows) : rows_(rows) {}
    int rowCount(const QModelIndex &parent = {}) const override { return parent.isValid() ? 0 : rows_; }
    int columnCount(const QModelIndex &parent = {}) const override { return parent.isValid() ? 0 : 3; }
    QVariant data(const QModelIndex &index, int role) const override
    {
        return role == Qt::DisplayRole && index.isValid() ? QVariant(text_) : QVariant();
    }

private:
    int rows_;
    QString text_ = u"alice.bank1234"_s;
};

// Lays a view out as the main window does and paints it once, as its first showing would.
void firstPaint(QTreeView &view)
{
    view.resize(593, 281);
    view.header()->resizeSection(0, 156);
    view.header()->resizeSection(1, 158);
    view.header()->resizeSection(2, 273);
    view.show();
    const QPixmap shot = view.grab();
    benchmark::DoNotOptimize(shot.cacheKey());
}

std::string joined(std::initializer_list<std::string_view> parts)
{
    std::string out;
    for (const std::string_view part : parts) {
        out.append(part);
    }
    return out;
}

// ---- timings ---------------------------------------------------------------------------------------------------

void fillOurs(benchmark::State &state, int n)
{
    const Data &d = data(n);
    for (auto _ : state) {
        EntryListModel model;
        model.appendEntries(VaultFormat::parse(d.vault));
        benchmark::DoNotOptimize(model.rowCount());
    }
}

void fillBaseline(benchmark::State &state, int n)
{
    const Data &d = data(n);
    for (auto _ : state) {
        auto rows = bareRead(d.vault);
        benchmark::DoNotOptimize(rows.data());
    }
}

void sortOurs(benchmark::State &state, int n, int column)
{
    const Data &d = data(n);
    for (auto _ : state) {
        state.PauseTiming();
        auto model = std::make_unique<EntryListModel>();
        model->appendEntries(d.entries);
        state.ResumeTiming();
        model->sortByHeaderClick(column);
        benchmark::DoNotOptimize(model->entries().data());
        state.PauseTiming();
        model.reset();
        state.ResumeTiming();
    }
}

void sortBaseline(benchmark::State &state, int n, int column)
{
    const Data &d = data(n);
    for (auto _ : state) {
        state.PauseTiming();
        std::vector<std::string> keys;
        keys.reserve(d.entries.size());
        for (const Entry &e : d.entries) {
            const QByteArrayView f = e.field(Entry::Field(column));
            keys.emplace_back(f.data(), size_t(f.size()));
        }
        state.ResumeTiming();
        std::sort(keys.begin(), keys.end());
        benchmark::DoNotOptimize(keys.data());
        state.PauseTiming();
        keys = {};
        state.ResumeTiming();
    }
}

void paintOurs(benchmark::State &state, int n)
{
    EntryListModel model;
    model.appendEntries(data(n).entries);
    for (auto _ : state) {
        EntryListView view;
        view.setEntryModel(&model);
        firstPaint(view);
    }
}

void paintBaseline(benchmark::State &state, int n)
{
    FixedTextModel model(n);
    for (auto _ : state) {
        QTreeView view;
        view.setUniformRowHeights(true);
        view.setRootIsDecorated(false);
        view.setModel(&model);
        firstPaint(view);
    }
}

// From the file on disk to the painted list, as after a correct master password.
void unlockOurs(benchmark::State &state, int n)
{
    const Data &d = data(n);
    for (auto _ : state) {
        EntryListModel model;
        VaultStore store(model, d.path);
        store.checkFirstRun();
        if (!store.unlock(u"master"_s).ok) {
            state.SkipWithError("cannot read the vault");
            break;
        }
        EntryListView view;
        view.setEntryModel(&model);
        firstPaint(view);
    }
}

void unlockBaseline(benchmark::State &state, int n)
{
    const Data &d = data(n);
    for (auto _ : state) {
        if (readFlipSplit(d.path) != size_t(n)) {
            state.SkipWithError("the baseline read the wrong number of rows");
            break;
        }
    }
}

void registerAll()
{
    for (const int n : Sizes) {
        const int few = n >= 1'000'000 ? 3 : 10;
        const auto add = [&](const std::string &name, auto fn) {
            benchmark::RegisterBenchmark(name.c_str(), fn)
                ->Unit(benchmark::kMillisecond)
                ->Iterations(few)
                ->UseRealTime();
        };
        const std::string size = std::to_string(n);
        add(joined({"fill/ours/", size}), [n](benchmark::State &s) { fillOurs(s, n); });
        add(joined({"fill/baseline/", size}), [n](benchmark::State &s) { fillBaseline(s, n); });
        for (int c = 0; c < 3; ++c) {
            add(joined({"sort-", ColumnNames[c], "/ours/", size}), [n, c](benchmark::State &s) { sortOurs(s, n, c); });
            add(joined({"sort-", ColumnNames[c], "/baseline/", size}),
                [n, c](benchmark::State &s) { sortBaseline(s, n, c); });
        }
        add(joined({"first-paint/ours/", size}), [n](benchmark::State &s) { paintOurs(s, n); });
        add(joined({"first-paint/baseline/", size}), [n](benchmark::State &s) { paintBaseline(s, n); });
        add(joined({"unlock/ours/", size}), [n](benchmark::State &s) { unlockOurs(s, n); });
        add(joined({"unlock/baseline/", size}), [n](benchmark::State &s) { unlockBaseline(s, n); });
    }
}

// Keeps every mean time, so that the summary can put each of ours beside its baseline.
struct Time {
    double real = 0;
    double cpu = 0;
};

class Collector final : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run> &runs) override
    {
        ConsoleReporter::ReportRuns(runs);
        for (const Run &run : runs) {
            if (run.run_type == Run::RT_Iteration && !run.error_occurred) {
                std::string name = run.benchmark_name();
                name = name.substr(0, name.find("/iterations:"));
                times[name] = {run.GetAdjustedRealTime(), run.GetAdjustedCPUTime()};
            }
        }
    }
    std::map<std::string, Time> times;
};

// ---- peak memory -------------------------------------------------------------------------------------------------

long statusKb(const char *field)
{
    std::ifstream status("/proc/self/status");
    std::string line;
    const std::string key = std::string(field) + ":";
    while (std::getline(status, line)) {
        if (line.rfind(key, 0) == 0) {
            return std::stol(line.substr(key.size()));
        }
    }
    return -1;
}

// One unlock and first paint, then a sort by each column, in this fresh process; the peak after each part.
int peakRun(const std::string &variant, int n, const QString &path)
{
    const long startKb = statusKb("VmRSS");
    long unlockedKb = -1;
    if (variant == "ours") {
        EntryListModel model;
        VaultStore store(model, path);
        store.checkFirstRun();
        if (!store.unlock(u"master"_s).ok) {
            return 2;
        }
        EntryListView view;
        view.setEntryModel(&model);
        firstPaint(view);
        unlockedKb = statusKb("VmHWM");
        for (int column = 0; column < 3; ++column) {
            model.sortByHeaderClick(column);
            benchmark::DoNotOptimize(view.grab().cacheKey());
        }
    } else {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly)) {
            return 2;
        }
        auto rows = bareRead(file.readAll());
        FixedTextModel model(int(rows.size()));
        QTreeView view;
        view.setUniformRowHeights(true);
        view.setModel(&model);
        firstPaint(view);
        unlockedKb = statusKb("VmHWM");
        for (size_t c = 0; c < 3; ++c) {
            std::vector<std::string> keys;
            keys.reserve(rows.size());
            for (const auto &r : rows) {
                keys.push_back(r[c]);
            }
            std::sort(keys.begin(), keys.end());
        }
    }
    std::printf("peak_kb=%ld unlocked_kb=%ld start_kb=%ld entries=%d\n", statusKb("VmHWM"), unlockedKb, startKb, n);
    return 0;
}

struct Peak {
    long peakKb = -1;
    long unlockedKb = -1;
    long startKb = -1;
};

Peak measurePeak(const QString &variant, int n)
{
    QProcess child;
    child.start(QCoreApplication::applicationFilePath(), {u"--peak"_s, variant, QString::number(n), data(n).path});
    child.waitForFinished(600'000);
    Peak p;
    std::sscanf(child.readAllStandardOutput().constData(), "peak_kb=%ld unlocked_kb=%ld start_kb=%ld", &p.peakKb,
                &p.unlockedKb, &p.startKb);
    return p;
}

void printSummary(const std::map<std::string, Time> &ms, const std::map<int, std::pair<Peak, Peak>> &peaks)
{
    // Real time is what a user waits; processor time is steadier on a busy machine, so the ratio is taken from it.
    std::printf("\n%-26s %16s %16s %8s\n", "case", "ours ms", "baseline ms", "ratio");
    std::printf("%-26s %16s %16s %8s\n", "", "real / cpu", "real / cpu", "(cpu)");
    const auto baselineOf = [&](const std::string &name) {
        const size_t at = name.find("/ours/");
        const auto b = ms.find(
            joined({std::string_view(name).substr(0, at), "/baseline/", std::string_view(name).substr(at + 6)}));
        return b == ms.end() ? Time{} : b->second;
    };
    for (const auto &[name, ours] : ms) {
        const size_t at = name.find("/ours/");
        if (at == std::string::npos) {
            continue;
        }
        const Time baseline = baselineOf(name);
        const std::string label = joined({std::string_view(name).substr(0, at), " ", name.substr(at + 6)});
        std::printf("%-26s %8.1f /%6.1f %8.1f /%6.1f %8.2f\n", label.c_str(), ours.real, ours.cpu, baseline.real,
                    baseline.cpu, baseline.cpu > 0 ? ours.cpu / baseline.cpu : 0.0);
    }
    std::printf("\n%-30s %10s %12s %12s %8s\n", "peak memory (VmHWM)", "", "ours MB", "baseline MB", "ratio");
    for (const auto &[n, pair] : peaks) {
        const auto row = [&](const char *when, long ours, long base) {
            std::printf("%-30s %10s %12.1f %12.1f %8.2f   (process at start: %.1f MB)\n",
                        joined({"unlock+paint ", std::to_string(n)}).c_str(), when, double(ours) / 1024.0,
                        double(base) / 1024.0, base > 0 ? double(ours) / double(base) : 0.0,
                        double(pair.first.startKb) / 1024.0);
        };
        row("unlocked", pair.first.unlockedKb, pair.second.unlockedKb);
        row("+3 sorts", pair.first.peakKb, pair.second.peakKb);
    }

    // One line per figure for bench/run-all, each with its aim. Times are processor time.
    std::printf("\n");
    for (const auto &[name, ours] : ms) {
        const size_t at = name.find("/ours/");
        if (at == std::string::npos) {
            continue;
        }
        const std::string what = name.substr(0, at);
        const int n = std::stoi(name.substr(at + 6));
        const Time baseline = baselineOf(name);
        const std::string label = joined({what, " ", name.substr(at + 6)});
        if (what.rfind("sort-", 0) == 0) {
            // 150 ms at a million entries, and in proportion below.
            const double limit = 150.0 * n / 1'000'000;
            char aim[64];
            std::snprintf(aim, sizeof aim, "at most %.0f ms", limit);
            Figures::print(label, ours.cpu, baseline.cpu, "ms", aim, ours.cpu <= limit);
        } else {
            Figures::printRatio(label, ours.cpu, baseline.cpu, "ms", 1.5);
        }
    }
    for (const auto &[n, pair] : peaks) {
        const auto perEntry = [n = n](long kb) { return kb > 0 ? double(kb) * 1024.0 / n : 0.0; };
        const std::string size = std::to_string(n);
        // Below a million entries the program's own memory, some 20 MB, outweighs the entries.
        if (n >= 1'000'000) {
            Figures::print(joined({"peak after unlock ", size}), perEntry(pair.first.unlockedKb),
                           perEntry(pair.second.unlockedKb), "bytes per entry", "at most 150 bytes per entry",
                           pair.first.unlockedKb > 0 && perEntry(pair.first.unlockedKb) <= 150);
        }
        Figures::printRatio(joined({"peak after sorts ", size}), perEntry(pair.first.peakKb),
                            perEntry(pair.second.peakKb), "bytes per entry", 1.5);
    }
}

} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);

    if (argc == 5 && std::string(argv[1]) == "--peak") {
        return peakRun(argv[2], std::atoi(argv[3]), QString::fromLocal8Bit(argv[4]));
    }

    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }
    registerAll();
    Collector collector;
    benchmark::RunSpecifiedBenchmarks(&collector);

    std::map<int, std::pair<Peak, Peak>> peaks;
    for (const int n : Sizes) {
        peaks[n] = {measurePeak(u"ours"_s, n), measurePeak(u"baseline"_s, n)};
    }
    printSummary(collector.times, peaks);
    benchmark::Shutdown();
    return 0;
}
