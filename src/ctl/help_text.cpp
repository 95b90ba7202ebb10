#include "ctl/help_text.h"

namespace kxlt::ctl {

std::string_view helpText()
{
    return R"(Usage: kxltctl [options] COMMAND [ARGS]

Sets up and tests KX-LT display boards on a serial line at 9600 8N1, sending the same frames as
the kxlt window.

Commands:
  info                 ask the board on the line who it is (the identity query) and print
                       its reply
  status               ask the board at --address for its figures and print them
  start, stop, clear   start, stop or clear the board at --address
  goal N, actual N, increment N
                       load a value into the board at --address: 1 to 6 digits as in the
                       window (0-9, or A-F)
  set-address N        give the board on the line the address N (0..255)
  scan [FROM-TO]       ask each address from FROM to TO (default 0-99) for its status, waiting
                       --timeout at each, and list the boards that answer
  watch                the automatic test: ask the board at --address for its status every
                       --interval and print each reply, until --count queries or SIGINT or
                       SIGTERM; a query left unanswered is reported on standard error

Options (before or after the command):
  --port DEVICE|COMn   serial device path, or COM1..COM5 numbered as in the window, where
                       KXLT_COM1..KXLT_COM5 choose their devices (default COM1)
  --address N          board address 0..255 (default 1)
  --timeout MS         how long to wait for an answer to arrive (default 1000). At 9600 baud a
                       query takes about 9 ms and a reply 28 ms; the board's turnaround and a
                       USB adapter's latency add some. An answer counts once the line has then
                       been quiet for 100 ms, which comes on top. Before each query kxltctl
                       waits, up to a second, for the line to be quiet. status, info, scan and
                       watch take only answers from the address they asked (info: any). For
                       scan, the wait at each address: 150 scans quickly on a short line.
  --json               print each reply as a JSON object on one line
  --verify             with goal, actual or set-address: ask the board afterwards (at the new
                       address for set-address) and fail unless it reports the new value. Not
                       with increment, which no reply carries.
  --interval MS        watch: time from one query to the next (default 1000, as the window's
                       test); when a query, its answer and the quiet line take longer, the next
                       query follows at once
  --count N            watch: stop after N queries, answered or not (default: until SIGINT or
                       SIGTERM)
  --csv                watch, scan: comma-separated values with a header line
  -h, --help           show this help
  --version            show the version

Output: info and status print one "name  value" line per figure, scan and watch one row per
reply with the time it arrived (ISO 8601) first. The figures are the window's: part type as
"Part type" (KX-LT), goal, actual, serial and version as GOAL, ACTUAL, SN and Version, seconds as
the digits beside the goal, difference and efficiency as DIFFERENCE and EFFICIENCY (empty, null
in JSON, where the window leaves its field as it was: a figure with a hex letter, a goal of 0),
and the reply as the log's line. The address is a decimal number where the window's Part Addr
adds an H: 42 for 42H.

Exit status:
  0   done
  1   no answer within the timeout (scan: no board answered; watch: a query went
      unanswered, the rows of the others printed)
  2   an answer that failed its check, or only bytes that are no reply
  3   the port could not be opened, or went away
  4   --verify: the board did not report the new value
  64  bad arguments; nothing was sent
  74  the output could not be written (a full disk)
)";
}

} // namespace kxlt::ctl
