// The help window with help files of the shapes that cost the text layout the most: many empty paragraphs, line
// breaks, short text lines, cells of one row, runs of changing format, list items, table rows, tall pictures and
// distinct links, and a JPEG of many scans. Each shape is timed at 100,000, 200,000, 400,000 and 800,000 of its units,
// from the file's bytes to the window shown and its text laid out in full, and its figure is the 800k time against the
// 100k time of the same run: the cost must grow at most linearly (ratio under 10). The window's bounds cut the larger
// files, so their figures show that the cut comes where the cost is paid.
//
//   bench_help                      all shapes at all sizes, then the figures
//   bench_help --show SHAPE N       one window with N units of SHAPE, timed stage by stage (for a profiler)
//   bench_help --write SHAPE N FILE writes the help file of N units of SHAPE
//
// Processor time is measured: the machine may be shared.

#include "app/HelpFile.h"
#include "core/PublisherSettings.h"
#include "ui/HelpWindow.h"

#include "Figures.h"
#include "HelpShapes.h"

#include <QAbstractTextDocumentLayout>
#include <QApplication>
#include <QEventLoop>
#include <QFile>
#include <QTemporaryDir>
#include <QTextBrowser>
#include <QTextDocument>
#include <QTimer>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <ctime>
#include <map>
#include <string>

using namespace Qt::StringLiterals;

namespace {

constexpr int Sizes[] = {100'000, 200'000, 400'000, 800'000};

double processorSeconds()
{
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return double(now.tv_sec) + double(now.tv_nsec) * 1e-9;
}

struct Shown {
    double read = 0;   // file to window, its text read
    double layout = 0; // shown and laid out in full
    int blocks = 0;
    double height = 0;
};

// As the program opens the help window: load, show, and everything the layout does until it is done.
Shown showHelp(const QString &path)
{
    const PublisherSettings publisher = PublisherSettings::fromBuild();
    Shown shown;
    const double start = processorSeconds();
    HelpWindow help(HelpFile::read(path), publisher);
    shown.read = processorSeconds() - start;
    help.show();
    auto *view = help.findChild<QTextBrowser *>(u"helpView"_s);
    // The view lays its text out a step at a time while the program idles, and reports the size after each step:
    // it is done once a while passes without a report.
    QEventLoop loop;
    QTimer quiet;
    quiet.setSingleShot(true);
    QObject::connect(&quiet, &QTimer::timeout, &loop, &QEventLoop::quit);
    QObject::connect(view->document()->documentLayout(), &QAbstractTextDocumentLayout::documentSizeChanged, &quiet,
                     [&quiet] { quiet.start(300); });
    quiet.start(300);
    loop.exec();
    shown.height = view->document()->documentLayout()->documentSize().height();
    shown.layout = processorSeconds() - start - shown.read;
    shown.blocks = view->document()->blockCount();
    return shown;
}

std::map<std::string, std::map<int, double>> timings;

void BM_Help(benchmark::State &state, const std::string &shape)
{
    const int n = int(state.range(0));
    QTemporaryDir dir;
    const QString path = dir.filePath(u"Help.rtf"_s);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(HelpShapes::file(shape, n)) < 0) {
        state.SkipWithError("cannot write the help file");
        return;
    }
    file.close();
    double best = 1e9;
    Shown last;
    for (auto _ : state) {
        last = showHelp(path);
        best = qMin(best, last.read + last.layout);
        state.SetIterationTime(last.read + last.layout);
    }
    state.counters["blocks"] = last.blocks;
    state.counters["height_px"] = last.height;
    timings[shape][n] = best;
}

} // namespace

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() >= 4 && (args.at(1) == u"--show"_s || args.at(1) == u"--write"_s)) {
        const QByteArray rtf = HelpShapes::file(args.at(2).toStdString(), args.at(3).toInt());
        QTemporaryDir dir;
        const QString path = args.at(1) == u"--write"_s && args.size() >= 5 ? args.at(4) : dir.filePath(u"Help.rtf"_s);
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly) || file.write(rtf) != rtf.size()) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
            return 1;
        }
        file.close();
        if (args.at(1) == u"--show"_s) {
            const Shown shown = showHelp(path);
            std::printf("read %.3f s, shown and laid out %.3f s, %d blocks, %.0f px high\n", shown.read, shown.layout,
                        shown.blocks, shown.height);
        }
        return 0;
    }

    for (const char *shape : HelpShapes::names) {
        auto *bench = benchmark::RegisterBenchmark((std::string("help/") + shape).c_str(), BM_Help, shape);
        for (const int n : Sizes) {
            bench->Arg(n);
        }
        bench->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(1);
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();

    for (const auto &[shape, bySize] : timings) {
        const auto small = bySize.find(Sizes[0]);
        const auto large = bySize.find(Sizes[std::size(Sizes) - 1]);
        if (small != bySize.end() && large != bySize.end()) {
            Figures::printRatio("help " + shape + " 800k against 100k", large->second * 1000, small->second * 1000,
                                "ms", 10);
        }
    }
    return 0;
}
