#pragma once

#include "ctl/exit_status.h"
#include "ctl/invocation.h"
#include "ctl/reply_output.h"
#include "port/board_line.h"

namespace kxlt::ctl {

// Carries out the command on an open line.
ExitStatus runCommand(const Invocation& invocation, port::BoardLine& line, ReplyOutput& output);

} // namespace kxlt::ctl
