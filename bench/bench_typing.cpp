// What one keystroke costs in the entry dialog's box as the text in it grows: the key goes in and the box is
// painted again. The baseline is the same keystroke in a box of a few characters, in the same run. The length at
// which a keystroke passes 100 ms is where editing stalls; the dialog opens longer values read-only
// (KeptValue::EditableLength), and the summary says whether that limit stays below the measured length.
//
// Runs offscreen.

#include "core/PublisherSettings.h"
#include "platform/Platform.h"
#include "ui/EntryDialog.h"
#include "ui/KeptValue.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>

#include <benchmark/benchmark.h>

#include "BenchRun.h"
#include "Figures.h"

#include <chrono>
#include <cstdio>
#include <map>

using namespace Qt::StringLiterals;

namespace {

constexpr double StallMs = 100.0;
constexpr qsizetype BaselineLength = 16;

struct QuietMessages final : MessageBoxes {
    Answer show(QWidget *, const QString &, const QString &, Buttons) override { return Answer::Ok; }
};

// Milliseconds per keystroke, by the length of the text it was typed into.
std::map<qsizetype, double> &keystrokeMs()
{
    static std::map<qsizetype, double> measured;
    return measured;
}

void BM_Keystroke(benchmark::State &state)
{
    const qsizetype length = state.range(0);
    QuietMessages messages;
    const PublisherSettings publisher = PublisherSettings::fromBuild();
    EntryDialog dialog({}, messages, publisher);
    auto *box = dialog.findChild<QLineEdit *>(u"passwordBox"_s);
    QString text(length, Qt::Uninitialized);
    for (qsizetype i = 0; i < length; ++i) {
        text[i] = QChar(char16_t(u'!' + i % 90));
    }
    box->setText(text);
    dialog.show();
    box->setFocus();
    box->setCursorPosition(int(length / 2));
    dialog.grab();

    double total = 0;
    qint64 n = 0;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        QKeyEvent press(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier, u"a"_s);
        QKeyEvent release(QEvent::KeyRelease, Qt::Key_A, Qt::NoModifier, u"a"_s);
        QApplication::sendEvent(box, &press);
        QApplication::sendEvent(box, &release);
        box->repaint();
        const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        state.SetIterationTime(seconds);
        total += seconds;
        ++n;
    }
    if (n > 0) {
        keystrokeMs()[length] = total / double(n) * 1000.0;
    }
}

} // namespace

BENCHMARK(BM_Keystroke)
    ->Name("keystroke_in_entry_dialog")
    ->Arg(BaselineLength)
    ->Arg(32'768)
    ->Arg(131'072)
    ->Arg(262'144)
    ->Arg(393'216)
    ->Arg(524'288)
    ->Arg(655'360)
    ->Arg(786'432)
    ->Arg(1'048'576)
    ->Arg(2'097'152)
    ->Iterations(5)
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
    const auto &measured = keystrokeMs();
    const double baseline = measured.count(BaselineLength) ? measured.at(BaselineLength) : 0;
    qsizetype stall = 0;
    for (const auto &[length, ms] : measured) {
        if (length == BaselineLength) {
            continue;
        }
        Figures::print("keystroke in a field of " + std::to_string(length) + " characters", ms, baseline, "ms",
                       "under 100 ms up to the read-only limit", ms < StallMs || length > KeptValue::EditableLength);
        if (ms >= StallMs && stall == 0) {
            stall = length;
        }
    }
    if (stall > 0) {
        Figures::print("longest field still editable in the entry dialog, in characters",
                       double(KeptValue::EditableLength), double(stall), "", "below the first length that stalls",
                       KeptValue::EditableLength < stall);
    }
    return 0;
}
