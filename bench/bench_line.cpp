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
#include <QTimer>

#include <benchmark/benchmark.h>

#include <sys/resource.h>
#include <atomic>
#include <thread>

using kxlt::port::QtSerialLink;
using kxlt::ui::MainWindow;
using kxlt::ui::ReplyLog;

namespace {

constexpr int kReplies = 200000;
constexpr int kRepliesPerWrite = 100;
constexpr qint64 kGiveUpMs = 120000;

// Writes the replies from another thread while the window's thread handles them in its event
// loop; returns the seconds until `handled()` reached the count, or until the writer was done and
// nothing more was handled for a second (replies were lost).
template <typename Handled>
double flood(PseudoTerminal& line, Handled handled)
{
    QByteArray chunk;
    for (int i = 0; i < kRepliesPerWrite; ++i)
        chunk += replyBytes({.actual = std::uint32_t(i)});
    std::atomic<bool> written = false;
    QElapsedTimer clock;
    clock.start();
    std::thread writer([&line, &chunk, &written] {
        for (int i = 0; i < kReplies / kRepliesPerWrite; ++i)
            line.write(chunk);
        written = true;
    });

    QEventLoop loop;
    QTimer check;
    long lastCount = -1;
    QElapsedTimer sinceProgress;
    sinceProgress.start();
    QObject::connect(&check, &QTimer::timeout, &loop, [&] {
        const long count = handled();
        if (count != lastCount) {
            lastCount = count;
            sinceProgress.restart();
        }
        if (count >= kReplies || (written && sinceProgress.elapsed() > 1000) ||
            clock.elapsed() > kGiveUpMs)
            loop.quit();
    });
    check.start(5);
    loop.exec();
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
        const double seconds = flood(line, handled);
        report(state, seconds, handled());
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
        const double seconds = flood(line, handled);
        report(state, seconds, handled());
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
        QEventLoop idle;
        QTimer::singleShot(2000, &idle, &QEventLoop::quit);
        idle.exec();
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
