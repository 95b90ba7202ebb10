#include "responder.h"

namespace boardsim {

namespace {

template <typename... Handlers> struct Overloaded : Handlers... {
    using Handlers::operator()...;
};

} // namespace

Responder::Responder(const Options& options, std::uint64_t seed, OutgoingQueue& outgoing,
                     EventLog& log)
    : silent_(options.silent), echo_(options.echo), trailer_(options.trailer),
      boards_(options.board, options.addresses), faults_(options.faults, seed), outgoing_(outgoing),
      log_(log)
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

// The noise before a reply goes out with it as one message, so that nothing lands between them.
void Responder::send(const LineAnswer& answer, Instant now)
{
    const ReplyDamage damage = faults_.next();
    std::vector<std::uint8_t> reply = damagedReply(answer.reply, damage);
    reply.insert(reply.end(), trailer_.begin(), trailer_.end());
    std::vector<std::uint8_t> transmission = damage.noiseBefore;
    transmission.insert(transmission.end(), reply.begin(), reply.end());
    outgoing_.push(transmission, now,
                   [this, reply, boards = answer.boards, damage](std::chrono::milliseconds quiet) {
                       log_.sent(reply, boards, damage, quiet);
                   });
}

} // namespace boardsim
