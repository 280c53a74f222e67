// What one add, one edit and one delete cost with the full save each makes, at 1,000 and 100,000 entries, as the
// user runs them: through the main window's commands and the entry dialog. Beside each, in the same iterations, a
// baseline writes and flushes the same bytes to a plain file; "x_baseline" is the command's time over the
// baseline's, so the figure says what the commands add to the disk's own cost.
//
// Runs offscreen. BRISVANE_BENCH_DIR picks the folder for the vaults (default: the system's temporary folder);
// the figures mean most on the disk that will hold the real vault.

#include "app/Application.h"
#include "app/EntryCommands.h"
#include "core/CodePage1252.h"
#include "core/EntryListModel.h"
#include "core/VaultFormat.h"
#include "core/VaultStore.h"
#include "platform/Platform.h"
#include "ui/EntryDialog.h"
#include "ui/MainWindow.h"
#include "ui/PictureButton.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include "BenchRun.h"
#include "Figures.h"

#include <chrono>
#include <cstdio>
#include <map>
#include <memory>

#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {

// Quiet platform operations: every question is answered with its first button and nothing leaves the process.
struct QuietMessages final : MessageBoxes {
    Answer show(QWidget *, const QString &, const QString &, Buttons) override { return Answer::Ok; }
};
struct QuietClipboard final : Clipboard {
    void clear() override {}
    void setSecretText(const QString &) override {}
};
struct QuietOpener final : Opener {
    void setFailureReport(QObject *, FailureReport) override {}
    void openLocation(const QUrl &) override {}
    void openUrl(const QUrl &) override {}
};
struct QuietSettings final : SettingsStore {
    QString read(const QString &, const QString &, const QString &, const QString &) override { return u"0"_s; }
    void write(const QString &, const QString &, const QString &, const QString &) override {}
};
struct QuietEnd final : ProgramEnd {
    void endProgram(int) override {}
};
struct QuietEvents final : EventPump {
    void processEvents() override {}
};

QString benchFolder()
{
    const QString chosen = qEnvironmentVariable("BRISVANE_BENCH_DIR");
    return chosen.isEmpty() ? QDir::tempPath() : chosen;
}

QByteArray vaultOf(qsizetype count)
{
    std::vector<Entry> entries;
    entries.reserve(size_t(count));
    for (qsizetype i = 0; i < count; ++i) {
        const QString n = QString::number(i);
        entries.push_back(Entry::fromText(u"user"_s + n + u"@example.com"_s, u"Pa55-"_s + n + u"-word"_s,
                                          u"https://www.site"_s + n + u".example.com/login"_s));
    }
    return VaultFormat::serialize("master", entries);
}

// An unlocked program on a vault of `count` entries, with its main window loaded.
class Session final {
public:
    explicit Session(const QByteArray &vault) : dir(benchFolder() + u"/brisvane-bench-XXXXXX"_s)
    {
        QFile file(dir.filePath(u"data.enc"_s));
        if (!file.open(QIODevice::WriteOnly) || file.write(vault) < 0) {
            qFatal("could not write the benchmark's vault");
        }
        file.close();
        app = std::make_unique<Application>(platform, dir.path());
        app->loadMainWindow(); // the first look at the vault
        if (!app->store().unlock(u"master"_s).ok) {
            qFatal("could not read the benchmark's vault");
        }
        settle();
    }
    Session(const Session &) = delete;
    Session &operator=(const Session &) = delete;

    static void settle() { QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); }

    // The same bytes the last save wrote, written and flushed to a plain file: the disk's share of a save.
    double baselineSeconds()
    {
        const QByteArray bytes = VaultFormat::serialize("master", app->entries().entries());
        const auto start = std::chrono::steady_clock::now();
        QFile file(dir.filePath(u"baseline.bin"_s));
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size() ||
            ::fsync(file.handle()) != 0) {
            qFatal("the baseline could not write its file");
        }
        file.close();
        return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    }

    QTemporaryDir dir;
    QuietMessages messages;
    QuietClipboard clipboard;
    QuietOpener opener;
    QuietSettings settings;
    QuietEnd end;
    QuietEvents events;
    Platform platform{messages, clipboard, opener, settings, end, events};
    std::unique_ptr<Application> app;
};

void saveThroughDialog(Application &app, const QString &username)
{
    EntryDialog *dialog = app.entryDialog();
    dialog->findChild<QLineEdit *>(u"usernameBox"_s)->setText(username);
    dialog->findChild<QLineEdit *>(u"passwordBox"_s)->setText(u"secret"_s);
    dialog->findChild<QLineEdit *>(u"websiteBox"_s)->setText(u"www.example.com"_s);
    dialog->save();
}

enum class Command { Add, Edit, Delete };

// Each command's mean time and its baseline's, for the summary.
std::map<std::string, std::pair<double, double>> &figures()
{
    static std::map<std::string, std::pair<double, double>> f;
    return f;
}

template <Command command> void BM_Command(benchmark::State &state)
{
    const qsizetype count = state.range(0);
    Session session(vaultOf(count));
    Application &app = *session.app;
    double commandTotal = 0;
    double baselineTotal = 0;
    qint64 n = 0;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        switch (command) {
        case Command::Add:
            app.commands().addEntry();
            saveThroughDialog(app, u"added"_s + QString::number(n));
            break;
        case Command::Edit:
            app.commands().editEntry(count / 2);
            saveThroughDialog(app, u"edited"_s + QString::number(n));
            break;
        case Command::Delete:
            app.commands().deleteEntry(count / 2);
            break;
        }
        const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        state.SetIterationTime(seconds);
        commandTotal += seconds;
        baselineTotal += session.baselineSeconds();
        ++n;
        if (app.store().lastSaveFailed()) {
            state.SkipWithError("a save failed");
            break;
        }
        if (command == Command::Delete) {
            // Keeps the list at its size for the next iteration; not part of the measured delete.
            app.entries().appendEntry(Entry::fromText(u"refill"_s, u"p"_s, QString()));
        }
        Session::settle();
    }
    if (n > 0) {
        state.counters["baseline_ms"] = baselineTotal / double(n) * 1000.0;
        state.counters["x_baseline"] = commandTotal / baselineTotal;
        const char *name = command == Command::Add ? "add" : command == Command::Edit ? "edit" : "delete";
        figures()[std::string(name) + " with save " + std::to_string(count)] = {commandTotal / double(n) * 1000.0,
                                                                                baselineTotal / double(n) * 1000.0};
    }
}

long statusKb(const char *field)
{
    QFile status(u"/proc/self/status"_s);
    if (!status.open(QIODevice::ReadOnly)) {
        return -1;
    }
    const QByteArray key = QByteArray(field) + ':';
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith(key)) {
            return line.mid(key.size()).trimmed().split(' ').value(0).toLong();
        }
    }
    return -1;
}

// Sets the process's peak memory back to what it holds now (Linux: clear_refs 5).
void resetPeakMemory()
{
    QFile clear(u"/proc/self/clear_refs"_s);
    if (clear.open(QIODevice::WriteOnly)) {
        clear.write("5");
    }
}

// The Edit command on an entry whose password is 30 MB: until the dialog is painted. The baseline turns the same
// field into text once, which any way of showing it needs. The peak memory counts what the dialog adds.
void BM_HugeFieldDialog(benchmark::State &state)
{
    const qsizetype length = state.range(0);
    QByteArray password(length, Qt::Uninitialized);
    for (qsizetype i = 0; i < length; ++i) {
        password[i] = char('!' + i % 90);
    }
    Session session(VaultFormat::serialize("master", {Entry::fromFields("user", password, "www.example.com")}));
    password = {};
    Application &app = *session.app;
    double total = 0, baselineTotal = 0;
    long aboveKb = 0;
    qint64 n = 0;
    for (auto _ : state) {
        resetPeakMemory();
        const long before = statusKb("VmRSS");
        const auto start = std::chrono::steady_clock::now();
        app.commands().editEntry(0);
        EntryDialog *dialog = app.entryDialog();
        if (!dialog) {
            state.SkipWithError("the entry dialog did not open");
            break;
        }
        benchmark::DoNotOptimize(dialog->grab().cacheKey());
        const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        aboveKb = std::max(aboveKb, statusKb("VmHWM") - before);
        state.SetIterationTime(seconds);
        total += seconds;
        dialog->cancel();
        Session::settle();

        const auto baselineStart = std::chrono::steady_clock::now();
        benchmark::DoNotOptimize(app.entries().entry(0).text(Entry::Password).size());
        baselineTotal += std::chrono::duration<double>(std::chrono::steady_clock::now() - baselineStart).count();
        ++n;
    }
    if (n > 0) {
        const double ms = total / double(n) * 1000.0;
        const double baselineMs = baselineTotal / double(n) * 1000.0;
        state.counters["baseline_ms"] = baselineMs;
        state.counters["above_MB"] = double(aboveKb) / 1024.0;
        const std::string size = std::to_string(length / (1024 * 1024)) + " MB";
        Figures::print("edit dialog on a field of " + size, ms, baselineMs, "ms", "under 1000 ms", ms < 1000);
        Figures::print("edit dialog on a field of " + size + ", memory above the program's own",
                       double(aboveKb) / 1024.0, 0, "MB", "under 300 MB", aboveKb < 300 * 1024);
    }
}

} // namespace

BENCHMARK(BM_Command<Command::Add>)
    ->Name("add_with_save")
    ->Arg(1000)
    ->Arg(100000)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Command<Command::Edit>)
    ->Name("edit_with_save")
    ->Arg(1000)
    ->Arg(100000)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_HugeFieldDialog)
    ->Name("edit_dialog_huge_field")
    ->Arg(30 << 20)
    ->Iterations(3)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Command<Command::Delete>)
    ->Name("delete_with_save")
    ->Arg(1000)
    ->Arg(100000)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

int main(int argc, char **argv)
{
    BenchRun::quietOffscreen();
    QApplication app(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    if (!BenchRun::run(argc, argv)) {
        return 1;
    }
    // The commands add what they do to the disk's own cost of the save: at most twice that again.
    for (const auto &[name, f] : figures()) {
        Figures::printRatio(name, f.first, f.second, "ms", 3);
    }
    return 0;
}
