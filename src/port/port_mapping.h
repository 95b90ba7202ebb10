#pragma once

#include <QByteArray>
#include <QString>

#include <array>
#include <optional>
#include <string>
#include <vector>

namespace kxlt::port {

inline constexpr int kPortCount = 5;

// Serial devices in COM order: USB and ACM adapters first, then the others, each group in
// natural name order (ttyUSB2 before ttyUSB10).
std::vector<std::string> inComOrder(std::vector<std::string> devices);

// The devices that COM1..COM5 open, given the system's serial devices in any order: KXLT_COMn
// when set, under the device's real name (links resolved, relative to the working directory), so
// that the port is locked under the name every other program uses for it; otherwise the n-th of
// the system's devices in COM order. An override takes its own number only. Nothing where there
// is no device.
std::array<std::optional<QString>, kPortCount>
comPortDevices(const std::vector<std::string>& systemDevices);
// The same for the serial ports the system has now; on Windows "COMn" is the system's own name.
std::array<std::optional<QString>, kPortCount> comPortDevices();
std::optional<QString> deviceForPort(int portNumber);

// The device's own name for a path (links resolved, relative to the working directory), so that
// the port is locked under the name every other program uses for it.
QString resolvedDevice(const QByteArray& path);

// For the operator: "COM1 opens /dev/ttyUSB0".
QString describePort(int portNumber, const std::optional<QString>& device);

} // namespace kxlt::port
