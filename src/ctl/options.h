#pragma once

#include "ctl/invocation.h"

#include <QStringList>

#include <string>
#include <variant>

namespace kxlt::ctl {

struct HelpRequested {};
struct VersionRequested {};

struct UsageError {
    std::string message;
};

using ParsedArguments = std::variant<Invocation, HelpRequested, VersionRequested, UsageError>;

// Options may stand before or after the command; the first other word is the command.
ParsedArguments parseArguments(const QStringList& arguments);

// The names parseArguments() knows, for checking what documents them.
QStringList commandNames();
QStringList optionNames();

} // namespace kxlt::ctl
