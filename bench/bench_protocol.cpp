// Frame building, echo, reply check and decoding: the pure work behind every command and reply;
// and what the framing makes of replies damaged as the simulated board damages them.
#include "protocol/board_address.h"
#include "protocol/command_frame.h"
#include "protocol/reply_decoding.h"
#include "protocol/reply_framer.h"
#include "protocol/status_reply.h"
#include "protocol/value_field.h"

#include "reply.h"
#include "reply_faults.h"

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

// Replies each damaged on the schedule given and followed by a quiet line, counted by what the
// framer shows: the reply sent, a checked reply with other bytes (wrong), a damaged reply or
// junk. Every reply counts up, so that its check byte changes from one to the next.
void BM_FrameDamagedReplies(benchmark::State& state, const boardsim::FaultSchedule& schedule)
{
    boardsim::ReplyFaults faults(schedule, 1);
    ReplyFramer framer;
    framer.lineQuiet();
    std::uint32_t count = 0;
    double right = 0, wrong = 0, damaged = 0, junk = 0;
    for (auto _ : state) {
        const boardsim::Reply reply = boardsim::buildReply({.actual = ++count % 1'000'000});
        const boardsim::ReplyDamage damage = faults.next();
        std::vector<std::uint8_t> bytes = damage.noiseBefore;
        const std::vector<std::uint8_t> sent = boardsim::damagedReply(reply, damage);
        bytes.insert(bytes.end(), sent.begin(), sent.end());
        std::vector<LineEvent> events = framer.receive(bytes);
        for (const LineEvent& event : framer.lineQuiet())
            events.push_back(event);
        for (const LineEvent& event : events) {
            switch (event.kind) {
            case LineEventKind::Reply: ++(event.bytes == reply ? right : wrong); break;
            case LineEventKind::DamagedReply: ++damaged; break;
            case LineEventKind::Junk: ++junk; break;
            }
        }
    }
    state.counters["right"] = right;
    state.counters["wrong"] = wrong;
    state.counters["damaged"] = damaged;
    state.counters["junk"] = junk;
}
BENCHMARK_CAPTURE(BM_FrameDamagedReplies, byte_inserted, {.insertEvery = 1})->Iterations(1'000'000);
BENCHMARK_CAPTURE(BM_FrameDamagedReplies, noise_before, {.noiseBeforeEvery = 1})
    ->Iterations(1'000'000);

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
