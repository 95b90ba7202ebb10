#include "frame.h"

namespace boardsim {

namespace {

std::string controlName(ControlCode control)
{
    switch (control) {
    case ControlCode::Start: return "start";
    case ControlCode::Stop: return "stop";
    case ControlCode::Clear: return "clear";
    }
    return "control";
}

} // namespace

std::string describe(const Frame& frame)
{
    const std::string addr = " addr " + std::to_string(frame.address);
    const std::string value = std::to_string(frame.value);
    switch (frame.function) {
    case FunctionCode::SetGoal: return "set goal " + value + addr;
    case FunctionCode::SetActual: return "set actual " + value + addr;
    case FunctionCode::SetIncrement: return "set increment " + value + addr;
    case FunctionCode::Control: return controlName(frame.control) + addr;
    case FunctionCode::Query:
        return frame.address == kIdentityQueryAddress ? "identity query" : "query" + addr;
    case FunctionCode::SetAddress: return "set address " + std::to_string(frame.address);
    }
    return "unknown";
}

} // namespace boardsim
