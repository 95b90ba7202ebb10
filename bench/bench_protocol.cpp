// Frame building, echo, reply check and decoding: the pure work behind every command and reply.
#include "protocol/board_address.h"
#include "protocol/command_frame.h"
#include "protocol/reply_decoding.h"
#include "protocol/reply_framer.h"
#include "protocol/status_reply.h"
#include "protocol/value_field.h"

#include <benchmark/benchmark.h>

using namespace kxlt::protocol;

namespace {

const ReplyBytes kReply{0x54, 0x20, 0x20, 0x20, 0x20, 0x20, 0x20, 0x20, 0x20,
                        0x00, 0x20, 0x00, 0x00, 0x00, 0x10, 0x00, 0x00, 0x50,
                        0x00, 0x00, 0x00, 0x12, 0x34, 0x56, 0x30, 0x01, 0x75};

void BM_ValueCommandFromText(benchmark::State& state)
{
    for (auto _ : state) {
        const auto address = parseBoardAddress("01");
        const auto value = encodeValueField("3500");
        benchmark::DoNotOptimize(valueFrame(FunctionCode::SetGoal, *address, *value));
    }
}
BENCHMARK(BM_ValueCommandFromText);

void BM_EchoText(benchmark::State& state)
{
    const TransmitBuffer buffer = controlFrame(1, ControlCode::Start);
    for (auto _ : state)
        benchmark::DoNotOptimize(echoText(buffer));
}
BENCHMARK(BM_EchoText);

void BM_FrameReplies(benchmark::State& state)
{
    std::vector<std::uint8_t> block;
    for (int i = 0; i < state.range(0); ++i)
        block.insert(block.end(), kReply.begin(), kReply.end());
    ReplyFramer framer;
    framer.lineQuiet();
    for (auto _ : state)
        benchmark::DoNotOptimize(framer.receive(block));
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_FrameReplies)->Arg(1)->Arg(150);

void BM_ReplyLineAndDecoding(benchmark::State& state)
{
    for (auto _ : state) {
        const std::string line = replyHexLine(kReply) + "\r\n";
        const ReplyFigures figures = cutReplyFigures(line);
        benchmark::DoNotOptimize(differenceText(figures.actual, figures.goal));
        benchmark::DoNotOptimize(efficiencyText(figures.actual, figures.goal));
    }
}
BENCHMARK(BM_ReplyLineAndDecoding);

} // namespace

BENCHMARK_MAIN();
