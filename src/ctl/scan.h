#pragma once

#include "ctl/exit_status.h"
#include "ctl/invocation.h"
#include "ctl/reply_output.h"
#include "port/board_line.h"

namespace kxlt::ctl {

// Asks each address of the range for its status and prints a row for each board that answers.
ExitStatus scan(const Invocation& invocation, port::BoardLine& line, ReplyOutput& output);

} // namespace kxlt::ctl
