#pragma once

#include <QString>

#include <string>
#include <vector>

namespace kxlt::port {

inline constexpr int kPortCount = 5;

// Serial devices in COM order: USB and ACM adapters first, then the others, each group in
// natural name order (ttyUSB2 before ttyUSB10).
std::vector<std::string> inComOrder(std::vector<std::string> devices);

// The device that COMn opens now: KXLT_COMn when set, "COMn" on Windows, otherwise the n-th
// device of the system's serial ports in COM order. Empty when there is none.
QString deviceForPort(int portNumber);

// For the operator: "COM1 opens /dev/ttyUSB0".
QString describePort(int portNumber);

} // namespace kxlt::port
