// End to end through a real pseudo-terminal: replies pushed as fast as the tty takes them into a
// window whose log already holds many lines, beside the QPlainTextEdit baseline; and the CPU an
// open port costs while nothing arrives.
#include "bench_support.h"
#include "plain_text_log.h"
#include "pseudo_terminal.h"

#include "port/qt_serial_link.h"
#include "ui/main_window.h"
#include "ui/reply_log.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QPushButton>

#include <benchmark/benchmark.h>

#include <sys/resource.h>
#include <thread>

using kxlt::port::QtSerialLink;
using kxlt::ui::MainWindow;
using kxlt::ui::ReplyLog;

namespace {

constexpr int kReplies = 200000;
constexpr int kRepliesPerWrite = 100;
constexpr qint64 kGiveUpMs = 120000;

// Writes the replies from another thread while the window's thread handles them; returns the
// seconds until `handled()` reached the count, or until giving up.
template <typename Handled>
double flood(PseudoTerminal& line, Handled handled)
{
    QByteArray chunk;
    for (int i = 0; i < kRepliesPerWrite; ++i)
        chunk += replyBytes({.actual = std::uint32_t(i)});
    QElapsedTimer clock;
    clock.start();
    std::thread writer([&line, &chunk] {
        for (int i = 0; i < kReplies / kRepliesPerWrite; ++i)
            line.write(chunk);
    });
    while (handled() < kReplies && clock.elapsed() < kGiveUpMs)
        QApplication::processEvents(QEventLoop::AllEvents, 50);
    const double seconds = double(clock.nsecsElapsed()) / 1e9;
    writer.join();
    return seconds;
}

void report(benchmark::State& state, double seconds, long handled)
{
    state.SetIterationTime(seconds);
    state.counters["replies_per_s"] = double(handled) / seconds;
    state.counters["lost"] = double(kReplies - handled);
}

void BM_FloodThroughWindow(benchmark::State& state)
{
    const auto prefill = std::size_t(state.range(0));
    for (auto _ : state) {
        PseudoTerminal line;
        qputenv("KXLT_COM1", line.slavePath().toLocal8Bit());
        QtSerialLink link;
        MainWindow window(link);
        window.show();
        auto* log = window.findChild<ReplyLog*>(QStringLiteral("Rbox1"));
        log->appendText(replyLines(prefill));
        window.findChild<QPushButton*>(QStringLiteral("Command5"))->click();
        const auto handled = [log, prefill] { return long(log->lineCount() - prefill); };
        report(state, flood(line, handled), handled());
    }
}
BENCHMARK(BM_FloodThroughWindow)->Arg(100000)->Arg(1000000)->Iterations(1)->UseManualTime()
    ->Unit(benchmark::kMillisecond);

void BM_FloodThroughPlainTextLog(benchmark::State& state)
{
    const auto prefill = int(state.range(0));
    for (auto _ : state) {
        PseudoTerminal line;
        qputenv("KXLT_COM1", line.slavePath().toLocal8Bit());
        QtSerialLink link;
        link.setSettings("9600,N,8,1");
        link.setRThreshold(27);
        link.setCommPort(1);
        link.setPortOpen(true);
        PlainTextReplyView view(link);
        view.show();
        view.log()->setPlainText(QString::fromStdString(replyLines(std::size_t(prefill))));
        const auto handled = [&view, prefill] { return long(view.lineCount() - prefill); };
        report(state, flood(line, handled), handled());
    }
}
BENCHMARK(BM_FloodThroughPlainTextLog)->Arg(100000)->Iterations(1)->UseManualTime()
    ->Unit(benchmark::kMillisecond);

double cpuSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

void BM_IdleWithPortOpen(benchmark::State& state)
{
    for (auto _ : state) {
        PseudoTerminal line;
        qputenv("KXLT_COM1", line.slavePath().toLocal8Bit());
        QtSerialLink link;
        MainWindow window(link);
        window.show();
        window.findChild<QPushButton*>(QStringLiteral("Command5"))->click();
        QApplication::processEvents();
        const double cpuBefore = cpuSeconds();
        QElapsedTimer clock;
        clock.start();
        while (clock.elapsed() < 2000)
            QApplication::processEvents(QEventLoop::WaitForMoreEvents, 100);
        state.counters["cpu_percent"] = 100 * (cpuSeconds() - cpuBefore) / (double(clock.elapsed()) / 1000);
    }
}
BENCHMARK(BM_IdleWithPortOpen)->Iterations(1)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char* argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
}
