#pragma once

#include "ctl/exit_status.h"
#include "ctl/invocation.h"
#include "ctl/reply_output.h"
#include "port/board_line.h"

namespace kxlt::ctl {

// The window's automatic test, for a line of boards: each round asks every address in turn, a
// row for each reply and a word for each silence, then waits for the next interval; until the
// count of rounds is reached or SIGINT or SIGTERM arrives. With --mqtt the figures also go to a
// broker, with --reconnect a lost port is opened again.
ExitStatus watch(const Invocation& invocation, port::BoardLine& line, ReplyOutput& output);

} // namespace kxlt::ctl
