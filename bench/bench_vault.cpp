// How fast the vault loads and saves, at 1,000, 100,000 and 1,000,000 entries, each beside a plain baseline
// measured in the same iterations:
//
//   load      the file on disk read with VaultFile::read and parsed into entries by VaultFormat::parse;
//   baseline  the same file read, every byte XOR 0x80, split into lines and into three std::string per line.
//
//   save      VaultFormat::serialize and VaultFile::replace (new file, write, fsync, rename, fsync of the folder);
//   baseline  the same bytes written over a file and fsync'ed.
//
// Ours and the baseline alternate inside every iteration, so that both see the same disk and cache. The counters
// give the mean time of each and the ratio ours / baseline; a summary line per size follows the table.
//
// Files go to $BRISVANE_BENCH_DIR, or /var/tmp, which is on disk where /tmp may be held in memory.

#include "BenchRun.h"
#include "Figures.h"
#include "core/Entry.h"
#include "core/VaultFile.h"
#include "core/VaultFormat.h"

#include <benchmark/benchmark.h>

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <map>
#include <random>
#include <string>
#include <string_view>
#include <sys/stat.h>
#include <sys/vfs.h>
#include <unistd.h>
#include <vector>

using namespace Qt::StringLiterals;

namespace {

using Clock = std::chrono::steady_clock;

constexpr int64_t Sizes[] = {1'000, 100'000, 1'000'000};

double secondsSince(Clock::time_point start)
{
    return std::chrono::duration<double>(Clock::now() - start).count();
}

// The folder of this run's files, removed at exit.
class Workspace {
public:
    Workspace()
    {
        const char *base = std::getenv("BRISVANE_BENCH_DIR");
        std::string pattern = std::string(base && *base ? base : "/var/tmp") + "/brisvane-bench-XXXXXX";
        if (!::mkdtemp(pattern.data())) {
            std::perror(pattern.c_str());
            std::exit(1);
        }
        folder_ = QString::fromLocal8Bit(pattern);
        struct statfs fs {};
        if (::statfs(pattern.c_str(), &fs) == 0 && fs.f_type == 0x01021994 /* tmpfs */) {
            std::fprintf(stderr,
                         "warning: %s is in memory (tmpfs); fsync costs nothing there. Set "
                         "BRISVANE_BENCH_DIR to a folder on disk.\n",
                         pattern.c_str());
        }
    }
    ~Workspace() { QDir(folder_).removeRecursively(); }

    QString file(const QString &name) const { return folder_ + u'/' + name; }

private:
    QString folder_;
};

Workspace &workspace()
{
    static Workspace w;
    return w;
}

// A vault of n entries with realistic fields: about 12, 16 and 30 random printable characters. The bar is left
// out so that no field holds a separator.
struct Workload {
    QByteArray masterPassword;
    std::vector<Entry> entries;
    QByteArray file;   // the saved vault
    QString loadPath;  // holds `file`
    QString savePath;  // rewritten by the save benchmark
    QString plainPath; // rewritten by the save baseline
};

QByteArray randomField(std::mt19937_64 &random, int meanLength)
{
    std::uniform_int_distribution<int> length(meanLength * 3 / 4, meanLength * 5 / 4);
    std::uniform_int_distribution<int> printable(0x21, 0x7E);
    QByteArray field(length(random), Qt::Uninitialized);
    for (char &c : field) {
        do {
            c = char(printable(random));
        } while (c == '|');
    }
    return field;
}

bool writeWhole(const QString &path, QByteArrayView bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(bytes.data(), bytes.size()) == bytes.size();
}

const Workload &workload(int64_t n)
{
    static std::map<int64_t, Workload> cache;
    auto it = cache.find(n);
    if (it != cache.end()) {
        return it->second;
    }
    Workload &w = cache[n];
    std::mt19937_64 random{uint64_t(n)};
    w.masterPassword = randomField(random, 16);
    w.entries.reserve(size_t(n));
    for (int64_t i = 0; i < n; ++i) {
        w.entries.push_back(
            Entry::fromFields(randomField(random, 12), randomField(random, 16), randomField(random, 30)));
    }
    w.file = VaultFormat::serialize(w.masterPassword, w.entries);
    const QString size = QString::number(n);
    w.loadPath = workspace().file(u"load-"_s + size + u".enc"_s);
    w.savePath = workspace().file(u"save-"_s + size + u".enc"_s);
    w.plainPath = workspace().file(u"plain-"_s + size + u".bin"_s);
    if (!writeWhole(w.loadPath, w.file) || !writeWhole(w.savePath, w.file) || !writeWhole(w.plainPath, w.file)) {
        std::fprintf(stderr, "cannot write the benchmark files\n");
        std::exit(1);
    }
    return w;
}

// The baseline's idea of an entry.
struct PlainEntry {
    std::string username, password, location;
};

struct PlainVault {
    std::string masterPassword;
    std::vector<PlainEntry> entries;
};

bool readPlain(const char *path, std::string &out)
{
    const int fd = ::open(path, O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        return false;
    }
    struct stat st {};
    ::fstat(fd, &st);
    out.resize(size_t(st.st_size));
    size_t have = 0;
    while (have < out.size()) {
        const ssize_t n = ::read(fd, out.data() + have, out.size() - have);
        if (n <= 0) {
            break;
        }
        have += size_t(n);
    }
    ::close(fd);
    out.resize(have);
    return true;
}

PlainVault baselineLoad(const char *path)
{
    std::string bytes;
    readPlain(path, bytes);
    for (char &c : bytes) {
        c = char(c ^ 0x80);
    }
    // Deciphered, CR LF is 8D 8A.
    constexpr std::string_view LineEnd("\x8D\x8A", 2);
    const std::string_view all(bytes);
    PlainVault vault;
    vault.entries.reserve(all.size() / 48);
    size_t pos = all.find(LineEnd);
    vault.masterPassword = std::string(all.substr(0, pos));
    pos = pos == std::string_view::npos ? all.size() : pos + 2;
    while (pos < all.size()) {
        size_t end = all.find(LineEnd, pos);
        if (end == std::string_view::npos) {
            end = all.size();
        }
        const std::string_view line = all.substr(pos, end - pos);
        pos = end + 2;
        if (line.empty()) {
            continue;
        }
        const size_t first = line.find("|||");
        const size_t second = first == std::string_view::npos ? first : line.find("|||", first + 3);
        PlainEntry &e = vault.entries.emplace_back();
        e.username = line.substr(0, first);
        if (first != std::string_view::npos) {
            e.password = line.substr(first + 3, second == std::string_view::npos ? second : second - first - 3);
            if (second != std::string_view::npos) {
                e.location = line.substr(second + 3);
            }
        }
    }
    return vault;
}

bool baselineSave(const char *path, QByteArrayView bytes)
{
    const int fd = ::open(path, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    if (fd < 0) {
        return false;
    }
    const char *p = bytes.data();
    size_t left = size_t(bytes.size());
    while (left > 0) {
        const ssize_t n = ::write(fd, p, left);
        if (n <= 0) {
            ::close(fd);
            return false;
        }
        p += n;
        left -= size_t(n);
    }
    const bool synced = ::fsync(fd) == 0;
    return ::close(fd) == 0 && synced;
}

// Mean milliseconds of ours and of the baseline, per benchmark and size, for the summary.
struct Timing {
    double oursMs = 0;
    double baselineMs = 0;
};
std::map<std::pair<std::string, int64_t>, Timing> &figures()
{
    static std::map<std::pair<std::string, int64_t>, Timing> f;
    return f;
}

void report(benchmark::State &state, const char *name, double ours, double baseline)
{
    const double n = double(state.iterations());
    Timing f{1000 * ours / n, 1000 * baseline / n};
    state.counters["ours_ms"] = f.oursMs;
    state.counters["baseline_ms"] = f.baselineMs;
    state.counters["ratio"] = f.baselineMs > 0 ? f.oursMs / f.baselineMs : 0;
    state.counters["entries"] = double(state.range(0));
    figures()[{name, state.range(0)}] = f;
}

void load(benchmark::State &state)
{
    const Workload &w = workload(state.range(0));
    const QByteArray loadPath = QFile::encodeName(w.loadPath);
    double ours = 0, baseline = 0;
    bool oursFirst = true;
    for (auto _ : state) {
        // The results are released after the clock stops: a load ends when the entries are ready.
        std::vector<Entry> entries;
        PlainVault plain;
        double oursNow = 0;
        const auto runOurs = [&] {
            const auto start = Clock::now();
            {
                QByteArray bytes;
                if (!VaultFile::read(w.loadPath, bytes).isEmpty()) {
                    state.SkipWithError("cannot read the vault");
                }
                entries = VaultFormat::parse(std::move(bytes));
            }
            oursNow = secondsSince(start);
        };
        const auto runBaseline = [&] {
            const auto start = Clock::now();
            plain = baselineLoad(loadPath.constData());
            baseline += secondsSince(start);
        };
        if (oursFirst) {
            runOurs();
            runBaseline();
        } else {
            runBaseline();
            runOurs();
        }
        oursFirst = !oursFirst;
        ours += oursNow;
        state.SetIterationTime(oursNow);
        if (entries.size() != w.entries.size() || plain.entries.size() != w.entries.size()) {
            state.SkipWithError("a load read the wrong number of entries");
        }
        benchmark::DoNotOptimize(entries.data());
        benchmark::DoNotOptimize(plain.entries.data());
    }
    report(state, "load", ours, baseline);
}

void save(benchmark::State &state)
{
    const Workload &w = workload(state.range(0));
    const QByteArray plainPath = QFile::encodeName(w.plainPath);
    double ours = 0, baseline = 0;
    bool oursFirst = true;
    for (auto _ : state) {
        double oursNow = 0;
        const auto runOurs = [&] {
            const auto start = Clock::now();
            const QByteArray content = VaultFormat::serialize(w.masterPassword, w.entries);
            const VaultFile::Outcome r = VaultFile::replace(w.savePath, content);
            oursNow = secondsSince(start);
            if (!r.confirmed()) {
                state.SkipWithError("the save failed");
            }
        };
        const auto runBaseline = [&] {
            const auto start = Clock::now();
            const bool ok = baselineSave(plainPath.constData(), w.file);
            baseline += secondsSince(start);
            if (!ok) {
                state.SkipWithError("the baseline write failed");
            }
        };
        if (oursFirst) {
            runOurs();
            runBaseline();
        } else {
            runBaseline();
            runOurs();
        }
        oursFirst = !oursFirst;
        ours += oursNow;
        state.SetIterationTime(oursNow);
    }
    report(state, "save", ours, baseline);
}

// Few iterations at the large sizes keep the whole run to a couple of minutes.
int64_t iterationsFor(int64_t entries, bool saving)
{
    if (entries >= 1'000'000) {
        return 8;
    }
    if (entries >= 100'000) {
        return 30;
    }
    return saving ? 200 : 400;
}

} // namespace

int main(int argc, char **argv)
{
    for (const int64_t n : Sizes) {
        benchmark::RegisterBenchmark("load", load)
            ->Arg(n)
            ->Iterations(iterationsFor(n, false))
            ->UseManualTime()
            ->Unit(benchmark::kMillisecond);
    }
    for (const int64_t n : Sizes) {
        benchmark::RegisterBenchmark("save", save)
            ->Arg(n)
            ->Iterations(iterationsFor(n, true))
            ->UseManualTime()
            ->Unit(benchmark::kMillisecond);
    }
    if (!BenchRun::run(argc, argv)) {
        return 1;
    }
    for (const auto &[key, f] : figures()) {
        const auto &[what, entries] = key;
        const std::string name = what + " " + std::to_string(entries);
        if (what == "load" && entries >= 1'000'000) {
            Figures::print(name, f.oursMs, f.baselineMs, "ms", "ratio at most 3.0, under 1000 ms",
                           f.oursMs <= 3 * f.baselineMs && f.oursMs < 1000);
        } else {
            Figures::printRatio(name, f.oursMs, f.baselineMs, "ms", what == "save" ? 2 : 3);
        }
    }
    std::fflush(stdout);
    return 0;
}
