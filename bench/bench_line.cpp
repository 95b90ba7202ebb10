// End to end through a real pseudo-terminal: replies pushed as fast as the tty takes them into a
// window whose log already holds many lines, beside the QPlainTextEdit baseline; and the CPU an
// open port costs while nothing arrives.
#include "bench_support.h"
#include "far_end.h"
#include "plain_text_log.h"
#include "window_fixture.h"

#include "port/qt_serial_link.h"
#include "ui/main_window.h"
#include "ui/reply_log.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QPushButton>
#include <QSet>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

#include <benchmark/benchmark.h>

#include <atomic>
#include <chrono>
#include <random>
#include <sys/resource.h>
#include <thread>

using kxlt::port::QtSerialLink;
using kxlt::ui::ReplyLog;

// The window with a pseudo-terminal behind COM1, opened through the same QSerialPort code as on a
// real line; the far end is the test's to play the board.
struct WindowOnLine : WindowWith<kxlt::port::QtSerialLink> {
    std::unique_ptr<FarEnd> line;

    WindowOnLine() { plugIn(); }
    ~WindowOnLine() { qunsetenv("KXLT_COM1"); }

    // A new device behind COM1, as when an adapter is plugged in.
    void plugIn()
    {
        line = std::make_unique<FarEnd>();
        qputenv("KXLT_COM1", line->slavePath().toLocal8Bit());
    }
    // Presses "Open port" and waits for the quiet line that comes before an operator's first
    // click; false, with the reason in the button's tooltip, if it did not open.
    [[nodiscard]] bool openPort()
    {
        QSignalSpy quiet(&link, &kxlt::port::SerialLink::lineQuiet);
        click("Command5");
        return link.portOpen() && quiet.wait(1000);
    }
};

namespace {

constexpr int kReplies = 200000;
constexpr int kRepliesPerWrite = 100;
constexpr qint64 kGiveUpMs = 120000;

// Shows the window and opens its port on the quiet line; the benchmark is skipped if it did not.
void showAndOpen(WindowOnLine& board, benchmark::State& state)
{
    board.window.show();
    if (!board.openPort())
        state.SkipWithError("COM1 did not open");
}

// Writes the replies from another thread while the window's thread handles them in its event
// loop; returns the seconds until `handled()` reached the count, or until the writer was done and
// nothing more was handled for a second (replies were lost).
template <typename Handled> double flood(FarEnd& line, Handled handled)
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
        WindowOnLine board;
        auto* log = board.get<ReplyLog>("Rbox1");
        log->appendText(replyLines(prefill));
        showAndOpen(board, state);
        const auto handled = [log, prefill] { return long(log->lineCount() - prefill); };
        const double seconds = flood(*board.line, handled);
        report(state, seconds, handled());
    }
}
BENCHMARK(BM_FloodThroughWindow)
    ->Arg(100000)
    ->Arg(1000000)
    ->Iterations(1)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

void BM_FloodThroughPlainTextLog(benchmark::State& state)
{
    const auto prefill = int(state.range(0));
    for (auto _ : state) {
        FarEnd line;
        qputenv("KXLT_COM1", line.slavePath().toLocal8Bit());
        QtSerialLink link;
        link.setSettings(kxlt::port::kBoardLineSettings);
        link.setCommPort(1);
        PlainTextReplyView view(link);
        view.show();
        view.log()->setPlainText(QString::fromStdString(replyLines(std::size_t(prefill))));
        QSignalSpy quiet(&link, &kxlt::port::SerialLink::lineQuiet);
        link.setPortOpen(true);
        quiet.wait(1000);
        const auto handled = [&view, prefill] { return long(view.lineCount() - prefill); };
        const double seconds = flood(line, handled);
        report(state, seconds, handled());
    }
}
BENCHMARK(BM_FloodThroughPlainTextLog)
    ->Arg(100000)
    ->Iterations(1)
    ->UseManualTime()
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
        WindowOnLine board;
        showAndOpen(board, state);
        QApplication::processEvents();
        const double cpuBefore = cpuSeconds();
        QElapsedTimer clock;
        clock.start();
        QEventLoop idle;
        QTimer::singleShot(2000, &idle, &QEventLoop::quit);
        idle.exec();
        state.counters["cpu_percent"] =
            100 * (cpuSeconds() - cpuBefore) / (double(clock.elapsed()) / 1000);
    }
}
BENCHMARK(BM_IdleWithPortOpen)->Iterations(1)->Unit(benchmark::kMillisecond);

// Random bytes at full speed for the given seconds, with the automatic test running: the longest
// the window's event loop went unanswered, and how memory grew beside the log's own lines.
void BM_HostileLine(benchmark::State& state)
{
    for (auto _ : state) {
        WindowOnLine board;
        auto* log = board.get<ReplyLog>("Rbox1");
        showAndOpen(board, state);
        board.click("Command7");
        QApplication::processEvents();
        const long residentBefore = residentBytes();

        std::atomic<bool> stop = false;
        std::atomic<bool> stopped = false;
        FarEnd& line = *board.line;
        std::thread noise([&line, &stop, &stopped] {
            std::mt19937 random(11);
            QByteArray chunk(512, '\0');
            while (!stop) {
                for (char& byte : chunk)
                    byte = char(random());
                line.write(chunk);
            }
            stopped = true;
        });

        QEventLoop loop;
        QTimer beat;
        QElapsedTimer sinceBeat;
        QElapsedTimer clock;
        qint64 longestStall = 0;
        QObject::connect(&beat, &QTimer::timeout, &loop, [&] {
            longestStall = std::max(longestStall, sinceBeat.restart() - beat.interval());
            if (clock.elapsed() > state.range(0) * 1000) {
                stop = true;
                loop.quit();
            }
        });
        clock.start();
        sinceBeat.start();
        beat.start(10);
        loop.exec();
        // The writer may wait for room on the line, which the window makes by reading.
        while (!stopped)
            QApplication::processEvents();
        noise.join();

        // A log line takes its characters plus the index entry.
        const double logBytes = double(log->lineCount()) * (58 + sizeof(std::size_t));
        const double growth = double(residentBytes() - residentBefore);
        state.counters["longest_stall_ms"] = double(longestStall);
        state.counters["log_lines"] = double(log->lineCount());
        state.counters["memory_growth_MB"] = growth / 1e6;
        state.counters["growth_beside_log_MB"] = (growth - logBytes) / 1e6;
    }
}
BENCHMARK(BM_HostileLine)->Arg(30)->Iterations(1)->Unit(benchmark::kMillisecond);

// Bytes from another thread at 9600 baud: each held for its 10-bit time of about a millisecond.
void writeAtLineSpeed(FarEnd& line, const QByteArray& bytes)
{
    auto due = std::chrono::steady_clock::now();
    for (const char byte : bytes) {
        line.write(QByteArray(1, byte));
        due += std::chrono::microseconds(1042);
        std::this_thread::sleep_until(due);
    }
}

// Replies at line speed with a burst of noise before about half of them, some right before the
// reply and some with a quiet line between: the replies shown exactly, of those sent and of those
// that followed a quiet line, and the lines shown as checked that no board sent.
void BM_NoisyLine(benchmark::State& state)
{
    const auto replies = int(state.range(0));
    for (auto _ : state) {
        WindowOnLine board;
        auto* log = board.get<ReplyLog>("Rbox1");
        showAndOpen(board, state);

        struct Exchange {
            QByteArray noise;
            std::chrono::milliseconds gap;
            QByteArray reply;
        };
        std::mt19937 random(5);
        std::vector<Exchange> exchanges;
        QSet<QString> sentLines;
        QSet<QString> afterQuietLines;
        const std::chrono::milliseconds gaps[] = {
            std::chrono::milliseconds(0), std::chrono::milliseconds(10),
            std::chrono::milliseconds(40), 3 * kxlt::port::kQuietTime};
        for (int i = 0; i < replies; ++i) {
            Exchange exchange{{}, gaps[random() % 4], replyBytes({.actual = std::uint32_t(i)})};
            if (random() % 2 == 0)
                for (auto length = 1 + random() % 32; length > 0; --length)
                    exchange.noise += char(random());
            const QString line =
                QString::fromLatin1((exchange.reply + exchange.reply.right(1)).toHex().toUpper());
            sentLines.insert(line);
            if (exchange.noise.isEmpty() || exchange.gap > kxlt::port::kQuietTime)
                afterQuietLines.insert(line);
            exchanges.push_back(exchange);
        }

        std::atomic<bool> written = false;
        FarEnd& line = *board.line;
        std::thread writer([&line, &exchanges, &written] {
            for (const Exchange& exchange : exchanges) {
                writeAtLineSpeed(line, exchange.noise);
                std::this_thread::sleep_for(exchange.gap);
                writeAtLineSpeed(line, exchange.reply);
                std::this_thread::sleep_for(kxlt::port::kQuietTime + std::chrono::milliseconds(20));
            }
            written = true;
        });
        while (!written)
            QApplication::processEvents(QEventLoop::WaitForMoreEvents, 10);
        writer.join();
        QTest::qWait(2 * int(kxlt::port::kQuietTime.count()));

        int shown = 0;
        int shownAfterQuiet = 0;
        int wrong = 0;
        const QString zeroLine(56, QLatin1Char('0'));
        for (const QString& shownLine :
             log->text().split(QStringLiteral("\r\n"), Qt::SkipEmptyParts)) {
            shown += sentLines.contains(shownLine);
            shownAfterQuiet += afterQuietLines.contains(shownLine);
            wrong += !sentLines.contains(shownLine) && shownLine != zeroLine &&
                     shownLine != QStringLiteral("Com Error");
        }
        state.counters["sent"] = replies;
        state.counters["shown_exactly"] = shown;
        state.counters["after_quiet_sent"] = double(afterQuietLines.size());
        state.counters["after_quiet_shown"] = shownAfterQuiet;
        state.counters["wrong_as_checked"] = wrong;
    }
}
BENCHMARK(BM_NoisyLine)->Arg(100)->Iterations(1)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char* argv[]) { return runOffscreenBenchmarks(argc, argv); }
