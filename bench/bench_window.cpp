// One reply through the window at growing log sizes, the log's memory per line, and the time from
// constructing the window to its first paint; each beside the QPlainTextEdit baseline. Also what a
// screen reader's questions to the log cost at growing log sizes.
#include "bench_support.h"
#include "fake_serial_link.h"
#include "plain_text_log.h"

#include "ui/main_window.h"
#include "ui/reply_log.h"
#include "ui/reply_log_accessible.h"

#include <QAccessible>
#include <QApplication>

#include <benchmark/benchmark.h>

using kxlt::ui::MainWindow;
using kxlt::ui::ReplyLog;

namespace {

void BM_ReplyThroughWindow(benchmark::State& state)
{
    FakeSerialLink link;
    MainWindow window(link);
    window.show();
    window.findChild<ReplyLog*>(QStringLiteral("Rbox1"))
        ->appendText(replyLines(std::size_t(state.range(0))));
    QApplication::processEvents();
    const QByteArray reply = replyBytes({});
    for (auto _ : state)
        link.receive(reply);
}
BENCHMARK(BM_ReplyThroughWindow)
    ->Arg(1000)
    ->Arg(100000)
    ->Arg(1000000)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true)
    ->Unit(benchmark::kMicrosecond);

void BM_ReplyThroughPlainTextLog(benchmark::State& state)
{
    FakeSerialLink link;
    PlainTextReplyView view(link);
    view.show();
    view.log()->setPlainText(QString::fromStdString(replyLines(std::size_t(state.range(0)))));
    QApplication::processEvents();
    const QByteArray reply = replyBytes({});
    for (auto _ : state)
        link.receive(reply);
}
BENCHMARK(BM_ReplyThroughPlainTextLog)
    ->Arg(1000)
    ->Arg(100000)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true)
    ->Unit(benchmark::kMicrosecond);

template <typename Append> void measureLogMemory(benchmark::State& state, Append append)
{
    const auto lines = std::size_t(state.range(0));
    const std::string line = replyLines(1);
    for (auto _ : state) {
        const long before = residentBytes();
        append(lines, line);
        state.counters["bytes_per_line"] = double(residentBytes() - before) / double(lines);
    }
}

void BM_LogMemory(benchmark::State& state)
{
    ReplyLog log;
    measureLogMemory(state, [&log](std::size_t lines, const std::string& line) {
        for (std::size_t i = 0; i < lines; ++i)
            log.appendText(line);
    });
}
BENCHMARK(BM_LogMemory)->Arg(1000000)->Iterations(1)->Unit(benchmark::kMillisecond);

void BM_PlainTextLogMemory(benchmark::State& state)
{
    QPlainTextEdit log;
    measureLogMemory(state, [&log](std::size_t lines, const std::string& line) {
        const QString text = QString::fromStdString(line.substr(0, line.size() - 2));
        for (std::size_t i = 0; i < lines; ++i)
            log.appendPlainText(text);
    });
}
BENCHMARK(BM_PlainTextLogMemory)->Arg(100000)->Iterations(1)->Unit(benchmark::kMillisecond);

// A screen reader asks these on every caret move and every new line.
template <typename Query> void BM_LogAccessibleQuery(benchmark::State& state, Query query)
{
    ReplyLog log;
    log.appendText(replyLines(std::size_t(state.range(0))));
    QAccessibleTextInterface& text = *QAccessible::queryAccessibleInterface(&log)->textInterface();
    const int size = text.characterCount();
    for (auto _ : state)
        benchmark::DoNotOptimize(query(text, size));
}

int lineAt(QAccessibleTextInterface& text, int offset)
{
    int start = 0;
    int end = 0;
    text.textAtOffset(offset, QAccessible::LineBoundary, &start, &end);
    return end;
}

BENCHMARK_CAPTURE(BM_LogAccessibleQuery, characterCount,
                  [](QAccessibleTextInterface& text, int) { return text.characterCount(); })
    ->Arg(10)
    ->Arg(1000000)
    ->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_LogAccessibleQuery, lineNearEnd,
                  [](QAccessibleTextInterface& text, int size) { return lineAt(text, size - 10); })
    ->Arg(10)
    ->Arg(1000000)
    ->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_LogAccessibleQuery, lineInMiddle,
                  [](QAccessibleTextInterface& text, int size) { return lineAt(text, size / 2); })
    ->Arg(10)
    ->Arg(1000000)
    ->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_LogAccessibleQuery, smallSlice,
                  [](QAccessibleTextInterface& text, int size) {
                      return text.text(size / 2, size / 2 + 16).size();
                  })
    ->Arg(10)
    ->Arg(1000000)
    ->Unit(benchmark::kMicrosecond);

// Counts paint events on the window, to stop the clock at the first one.
class FirstPaint final : public QObject {
public:
    bool painted = false;

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        painted = painted || event->type() == QEvent::Paint;
        return false;
    }
};

void BM_WindowStartToFirstPaint(benchmark::State& state)
{
    for (auto _ : state) {
        FakeSerialLink link;
        MainWindow window(link);
        FirstPaint firstPaint;
        window.installEventFilter(&firstPaint);
        window.show();
        while (!firstPaint.painted)
            QApplication::processEvents();
    }
}
BENCHMARK(BM_WindowStartToFirstPaint)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char* argv[])
{
    QAccessible::installFactory(&kxlt::ui::replyLogAccessible);
    return runOffscreenBenchmarks(argc, argv);
}
