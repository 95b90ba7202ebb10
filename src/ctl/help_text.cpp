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
  watch                the automatic test, for a line of boards: every --interval a round
                       asks each address of --address in turn for its status and prints each
                       reply, until --count rounds or SIGINT or SIGTERM; a board that does not
                       answer is reported on standard error (with --json also as
                       {"time": ..., "address": N, "answer": null})

Options (before or after the command):
  --port DEVICE|COMn   serial device path, or COM1..COM5 numbered as in the window, where
                       KXLT_COM1..KXLT_COM5 choose their devices (default COM1)
  --address N          board address 0..255 (default 1); watch takes a list with ranges:
                       1,2,7 or 1-32 or 1-4,9
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
  --count N            watch: stop after N rounds, answered or not (default: until SIGINT or
                       SIGTERM)
  --reconnect          watch: when the port is lost, open the same device again every second
                       and go on (without it, exit 3)
  --mqtt HOST[:PORT]   watch: also publish to this MQTT broker (port 1883 by default), retained
                       at QoS 1: PREFIX/ADDRESS the reading as --json prints it,
                       PREFIX/ADDRESS/state answering or silent, PREFIX/status online or
                       offline (also as the will). The password, if any, is taken from the
                       environment variable KXLT_MQTT_PASSWORD. Polling never waits for the
                       broker: one that is down or goes away is tried again with back-off.
  --topic PREFIX       watch --mqtt: the topic prefix (default kxlt)
  --mqtt-user NAME     watch --mqtt: the user name for the broker
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
