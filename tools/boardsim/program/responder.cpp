#include "responder.h"

namespace boardsim {

namespace {

template <typename... Handlers> struct Overloaded : Handlers... {
    using Handlers::operator()...;
};

} // namespace

Responder::Responder(const Options& options, OutgoingQueue& outgoing, EventLog& log)
    : silent_(options.silent), echo_(options.echo), trailer_(options.trailer),
      boards_(options.board, options.addresses),
      faults_(options.badCheckEvery, options.garbageEvery), outgoing_(outgoing), log_(log)
{
}

void Responder::receive(std::span<const std::uint8_t> bytes, Instant now)
{
    if (echo_) {
        std::vector<std::uint8_t> echo(bytes.begin(), bytes.end());
        outgoing_.push(echo, now,
                       [this, echo](std::chrono::milliseconds quiet) { log_.echoed(echo, quiet); });
    }
    for (const ParseEvent& event : parser_.feed(bytes)) {
        std::visit(Overloaded{
                       [&](const Frame& frame) { handle(frame, now); },
                       [&](const MalformedBuffer& malformed) {
                           log_.malformed(malformed, parser_.malformedCount());
                       },
                       [&](const SkippedBytes& skipped) { log_.skipped(skipped); },
                   },
                   event);
    }
}

void Responder::handle(const Frame& frame, Instant now)
{
    log_.received(frame, boards_.isAddressed(frame), boards_.addresses());
    if (const auto answer = boards_.handle(frame, now); answer && !silent_)
        send(*answer, now);
}

void Responder::send(const LineAnswer& answer, Instant now)
{
    const ReplyFault fault = faults_.next();
    const Reply reply = applyFault(answer.reply, fault);
    std::vector<std::uint8_t> transmission(reply.begin(), reply.end());
    transmission.insert(transmission.end(), trailer_.begin(), trailer_.end());
    outgoing_.push(
        transmission, now,
        [this, transmission, boards = answer.boards, fault](std::chrono::milliseconds quiet) {
            log_.sent(transmission, boards, fault, quiet);
        });
}

} // namespace boardsim
