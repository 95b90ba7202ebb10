#include "options.h"

#include "hex.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>

namespace boardsim {

namespace {

template <typename Number> std::optional<Number> parseNumber(std::string_view text)
{
    Number number{};
    const char* end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, number);
    if (error != std::errc{} || stop != end)
        return std::nullopt;
    return number;
}

template <typename Target>
bool assignInteger(Target& target, std::string_view text, unsigned long min, unsigned long max)
{
    const auto number = parseNumber<unsigned long>(text);
    if (!number || *number < min || *number > max)
        return false;
    target = static_cast<Target>(*number);
    return true;
}

// "X.Y" with one decimal digit each, sent as the byte 0xXY.
bool assignVersion(std::uint8_t& target, std::string_view text)
{
    const auto isDigit = [](char c) { return c >= '0' && c <= '9'; };
    if (text.size() != 3 || !isDigit(text[0]) || text[1] != '.' || !isDigit(text[2]))
        return false;
    target = static_cast<std::uint8_t>((text[0] - '0') << 4 | (text[2] - '0'));
    return true;
}

bool assignAddresses(std::vector<std::uint8_t>& target, std::string_view text)
{
    std::vector<std::uint8_t> addresses;
    for (std::size_t start = 0; start <= text.size();) {
        const std::size_t comma = std::min(text.find(',', start), text.size());
        if (!assignInteger(addresses.emplace_back(), text.substr(start, comma - start), 0, 255))
            return false;
        start = comma + 1;
    }
    target = std::move(addresses);
    return true;
}

bool assignSeconds(std::optional<std::chrono::duration<double>>& target, std::string_view text)
{
    const auto seconds = parseNumber<double>(text);
    if (!seconds || !std::isfinite(*seconds) || *seconds <= 0)
        return false;
    target = std::chrono::duration<double>(*seconds);
    return true;
}

bool assignPath(std::optional<std::string>& target, std::string_view text)
{
    if (text.empty())
        return false;
    target = std::string(text);
    return true;
}

bool assignTrailer(std::vector<std::uint8_t>& target, std::string_view text)
{
    auto bytes = fromHex(text);
    if (!bytes || bytes->empty())
        return false;
    target = std::move(*bytes);
    return true;
}

constexpr unsigned long kNoLimit = std::numeric_limits<unsigned>::max();

struct FlagOption {
    std::string_view name;
    bool Options::*flag;
};

constexpr FlagOption kFlagOptions[] = {
    {"--trace", &Options::trace},
    {"--silent", &Options::silent},
    {"--echo", &Options::echo},
};

struct ValueOption {
    std::string_view name;
    bool (*assign)(Options& options, std::string_view value);
};

constexpr ValueOption kValueOptions[] = {
    {"--address", [](Options& o, std::string_view v) { return assignAddresses(o.addresses, v); }},
    {"--serial",
     [](Options& o, std::string_view v) { return assignInteger(o.board.serial, v, 0, 999'999); }},
    {"--version", [](Options& o, std::string_view v) { return assignVersion(o.board.version, v); }},
    {"--step-ms",
     [](Options& o, std::string_view v) { return assignInteger(o.board.step, v, 1, kNoLimit); }},
    {"--link", [](Options& o, std::string_view v) { return assignPath(o.linkPath, v); }},
    {"--record", [](Options& o, std::string_view v) { return assignPath(o.recordPath, v); }},
    {"--bad-check-every",
     [](Options& o, std::string_view v) {
         return assignInteger(o.faults.badCheckEvery, v, 1, kNoLimit);
     }},
    {"--garbage-every",
     [](Options& o, std::string_view v) {
         return assignInteger(o.faults.garbageEvery, v, 1, kNoLimit);
     }},
    {"--noise-before-every",
     [](Options& o, std::string_view v) {
         return assignInteger(o.faults.noiseBeforeEvery, v, 1, kNoLimit);
     }},
    {"--insert-every",
     [](Options& o, std::string_view v) {
         return assignInteger(o.faults.insertEvery, v, 1, kNoLimit);
     }},
    {"--chunk",
     [](Options& o, std::string_view v) {
         return assignInteger(o.pacing.chunkSize, v, 1, kNoLimit);
     }},
    {"--chunk-gap-ms",
     [](Options& o, std::string_view v) {
         return assignInteger(o.pacing.chunkGap, v, 0, kNoLimit);
     }},
    {"--baud",
     [](Options& o, std::string_view v) { return assignInteger(o.pacing.baud, v, 1, kNoLimit); }},
    {"--trailer", [](Options& o, std::string_view v) { return assignTrailer(o.trailer, v); }},
    {"--noise-every",
     [](Options& o, std::string_view v) { return assignInteger(o.noiseEvery, v, 1, kNoLimit); }},
    {"--seed",
     [](Options& o, std::string_view v) {
         return assignInteger(o.seed, v, 0, std::numeric_limits<unsigned long>::max());
     }},
    {"--hangup-after",
     [](Options& o, std::string_view v) { return assignSeconds(o.hangupAfter, v); }},
};

template <typename Option, std::size_t Count>
const Option* findOption(const Option (&options)[Count], std::string_view name)
{
    for (const Option& option : options)
        if (option.name == name)
            return &option;
    return nullptr;
}

} // namespace

bool drawsRandomBytes(const Options& options)
{
    return options.noiseEvery.count() != 0 || options.faults.noiseBeforeEvery != 0 ||
           options.faults.insertEvery != 0;
}

std::variant<Options, HelpRequested, UsageError> parseOptions(std::span<const char* const> args)
{
    Options options;
    bool chunkGapGiven = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string_view name = args[i];
        if (name == "--help" || name == "-h")
            return HelpRequested{};
        if (const FlagOption* flag = findOption(kFlagOptions, name)) {
            options.*flag->flag = true;
            continue;
        }
        const ValueOption* option = findOption(kValueOptions, name);
        if (option == nullptr)
            return UsageError{"unknown option '" + std::string(name) + "'"};
        if (i + 1 == args.size())
            return UsageError{std::string(name) + " needs a value"};
        const std::string_view value = args[++i];
        if (!option->assign(options, value))
            return UsageError{"bad value '" + std::string(value) + "' for " + std::string(name)};
        chunkGapGiven = chunkGapGiven || name == "--chunk-gap-ms";
    }
    if (chunkGapGiven && options.pacing.chunkSize == 0)
        return UsageError{"--chunk-gap-ms needs --chunk"};
    if (options.seed && !drawsRandomBytes(options))
        return UsageError{"--seed needs --noise-every, --noise-before-every or --insert-every"};
    return options;
}

std::string_view helpText()
{
    return R"(Usage: kxlt-boardsim [options]

Simulates KX-LT display boards sharing one line on a pseudo-terminal (raw, 9600 baud). The first
line on stdout is the path of the serial port to open.

Boards:
  --address N[,N...]     one board per address 0..255, e.g. 1,2,7 (default 1)
  --serial NNNNNN        serial number, up to six decimal digits (default 123456)
  --version X.Y          firmware version, one digit each, reported as the byte 0xXY (default 3.0)
  --step-ms MS           counting step in milliseconds, at least 1 (default 1000)
  Serial, version and step apply to every board alike.

Line:
  --link PATH            also make PATH a symlink to the port; an old symlink there is replaced,
                         and the link is removed on exit
  --baud N               send at the pace of an N baud line: each byte leaves once its 10 bits
                         would have crossed the wire (1.04 ms at 9600)
  --trailer HEX          bytes sent right after every reply as part of it, in hex with spaces
                         allowed between bytes: 00 or FF for a line that gives a byte when the
                         transmitter switches off, 0D0A for a board that ends its replies with CR LF
  --echo                 send back every byte received before anything answered to it, as some
                         adapters do
  --trace                print one line per event on stdout, see Trace below
  --record FILE          append every byte received to FILE, unmodified

Faults:
  --bad-check-every N    every Nth reply goes out with a wrong check byte
  --garbage-every N      every Nth reply is replaced by 0xAA and 26 bytes 0x55
  --chunk BYTES          send in pieces of BYTES bytes
  --chunk-gap-ms MS      pause after each piece (default 10; needs --chunk)
  --noise-every MS       send bursts of 1 to 32 random bytes (half of them holding 0x54) at
                         random moments, MS apart on average; a burst never splits a reply
  --noise-before-every N every Nth reply goes out right behind a burst of 1 to 32 random bytes,
                         half of them beginning with 0x54, as from a board powering up while asked
  --insert-every N       every Nth reply goes out with one random byte inserted at a random
                         index 1..26, so 28 bytes go out
  --seed N               seed for the random bytes of the three options above, to repeat a run
                         (default: random, see Trace)
  --silent               never answer
  --hangup-after S       close the port after S seconds (fractions allowed) and exit 0

  -h, --help             show this help

Board model:
  Goal, actual and increment are six decimal digits (defaults 0, 0 and 1); arithmetic wraps at
  1,000,000. Start makes the board run, Stop halts it, Clear zeroes the actual count and the
  seconds. While running, the actual count rises by the increment once every step (--step-ms)
  and the seconds value counts the running seconds, modulo 10000. A stopped board keeps the
  part of a step it had already run.
  Commands act only on the board at their address. Set address carries no old address, so every
  board takes it. A query is answered by the board at its address, and the identity query (pair
  value 0x63) by every board. Boards answering the same frame collide: the line carries one
  27-byte reply, the byte-wise AND of theirs, so its check byte normally fails.

Trace (one line per event; fields separated by two spaces):
  rx HEX  MEANING[  (ignored: board is addr N | boards are addr N,N...)]   frame received
  bad HEX  REASON                                                         malformed buffer
  skip HEX                                                                bytes skipped
  tx HEX  quiet MS ms[  (bad check injected) | (garbage injected)][  (byte XX injected at I)]
                    [  (noise injected before)][  (collision of N replies)]
  echo HEX  quiet MS ms                       with --echo
  noise HEX  quiet MS ms
  seed N                                      first, when random bytes are drawn
  tx, echo and noise lines are printed when their first byte goes out; "quiet" is how long the
  line had been silent before it, in whole milliseconds since the previous byte sent (or since
  start). A tx line shows the reply as sent, an inserted byte XX at its index I included, with
  its trailer. Noise injected before a reply is the noise line right above its tx line, which
  then shows quiet 0 ms.

Exit status: 0 after SIGINT, SIGTERM or --hangup-after; 1 on a system error; 2 on bad usage.
)";
}

} // namespace boardsim
