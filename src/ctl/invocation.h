#pragma once

#include "ctl/mqtt_settings.h"
#include "protocol/command_frame.h"
#include "protocol/value_field.h"

#include <QString>

#include <chrono>
#include <cstdint>
#include <optional>
#include <vector>

namespace kxlt::ctl {

enum class Command {
    Info,
    Status,
    Start,
    Stop,
    Clear,
    Goal,
    Actual,
    Increment,
    SetAddress,
    Scan,
    Watch
};

enum class OutputFormat { Text, Json, Csv };

struct AddressRange {
    std::uint8_t first = 0;
    std::uint8_t last = 99;
};

// A command line read and checked: everything in it can be sent as it stands.
struct Invocation {
    Command command = Command::Status;
    // COM1..COM5; a device named by path is opened as COM1 pointed at it.
    int portNumber = 1;
    std::optional<QString> device;
    std::uint8_t address = 1;
    // watch: the boards asked in turn each round, `address` first.
    std::vector<std::uint8_t> addresses{1};
    std::chrono::milliseconds timeout{1000};
    OutputFormat format = OutputFormat::Text;
    // goal, actual, increment
    protocol::ValueField value{};
    // set-address
    std::uint8_t newAddress = 0;
    bool verify = false;
    AddressRange range;
    // watch
    std::chrono::milliseconds interval = protocol::kTestInterval;
    std::optional<unsigned> count;
    // A lost port is opened again every second instead of ending the watch.
    bool reconnect = false;
    // Every reading and each board's answering or silence also go to this broker.
    std::optional<MqttSettings> mqtt;
};

} // namespace kxlt::ctl
