#pragma once

#include "ctl/exit_status.h"
#include "ctl/invocation.h"
#include "ctl/reply_output.h"
#include "port/board_line.h"

namespace kxlt::ctl {

// The window's automatic test: a status query every interval, a row for each reply as it comes,
// until the count is reached or SIGINT or SIGTERM arrives.
ExitStatus watch(const Invocation& invocation, port::BoardLine& line, ReplyOutput& output);

} // namespace kxlt::ctl
