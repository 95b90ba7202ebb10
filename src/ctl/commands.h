#pragma once

#include "ctl/exit_status.h"
#include "ctl/invocation.h"
#include "ctl/reply_output.h"

#include "port/board_line.h"
#include <optional>

namespace kxlt::ctl {

// The device the command opens: the path given, under the device's own name, or COMn's.
// Looked up again at every open, so that a replugged adapter is found under its new name.
std::optional<QString> deviceOf(const Invocation& invocation);

// Carries out the command on an open line.
ExitStatus runCommand(const Invocation& invocation, port::BoardLine& line, ReplyOutput& output);

} // namespace kxlt::ctl
