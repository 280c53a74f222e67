#pragma once

// What every benchmark program does around its own figures: the platform its windows use, and the run of the
// registered benchmarks.

#include <QtGlobal>
#include <benchmark/benchmark.h>

#include <cstdio>

namespace BenchRun {

// Windows on the offscreen platform unless another is asked for. That platform warns at every window it cannot
// raise; only real failures belong in the report. Call before the application object exists.
inline void quietOffscreen()
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    qInstallMessageHandler([](QtMsgType type, const QMessageLogContext &, const QString &message) {
        if (type == QtCriticalMsg || type == QtFatalMsg) {
            std::fprintf(stderr, "%s\n", qPrintable(message));
        }
    });
}

// Runs the registered benchmarks, then starts a new line for the figures. False on an argument they do not know.
inline bool run(int &argc, char **argv)
{
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return false;
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    std::printf("\n");
    return true;
}

} // namespace BenchRun
