#include "ctl/options.h"

#include "port/port_mapping.h"
#include "protocol/board_address.h"

#include <algorithm>
#include <limits>
#include <optional>
#include <vector>

namespace kxlt::ctl {

namespace {

using Reason = std::optional<std::string>;

struct CommandName {
    QLatin1StringView name;
    Command command;
    qsizetype minOperands;
    qsizetype maxOperands;
};

constexpr CommandName kCommands[] = {
    {QLatin1StringView("info"), Command::Info, 0, 0},
    {QLatin1StringView("status"), Command::Status, 0, 0},
    {QLatin1StringView("start"), Command::Start, 0, 0},
    {QLatin1StringView("stop"), Command::Stop, 0, 0},
    {QLatin1StringView("clear"), Command::Clear, 0, 0},
    {QLatin1StringView("goal"), Command::Goal, 1, 1},
    {QLatin1StringView("actual"), Command::Actual, 1, 1},
    {QLatin1StringView("increment"), Command::Increment, 1, 1},
    {QLatin1StringView("set-address"), Command::SetAddress, 1, 1},
    {QLatin1StringView("scan"), Command::Scan, 0, 1},
    {QLatin1StringView("watch"), Command::Watch, 0, 0},
};

// QTimer counts in int milliseconds; an hour is far beyond any useful wait.
constexpr unsigned long kMaxMilliseconds = 3'600'000;

std::optional<unsigned long> wholeNumber(const QString& text, unsigned long min, unsigned long max)
{
    bool ok = false;
    const unsigned long number = text.toULong(&ok);
    if (!ok || number < min || number > max)
        return std::nullopt;
    return number;
}

Reason assignMilliseconds(std::chrono::milliseconds& target, const QString& text)
{
    const auto number = wholeNumber(text, 1, kMaxMilliseconds);
    if (!number)
        return "Give milliseconds from 1 to " + std::to_string(kMaxMilliseconds) + ".";
    target = std::chrono::milliseconds(*number);
    return std::nullopt;
}

Reason assignPort(Invocation& invocation, const QString& text)
{
    if (text.isEmpty())
        return "Give a device path or COM1 to COM5.";
    if (text.startsWith(QLatin1StringView("COM"), Qt::CaseInsensitive)) {
        bool isNumber = false;
        const int number = text.mid(3).toInt(&isNumber);
        if (isNumber) {
            if (number < 1 || number > port::kPortCount)
                return "Give COM1 to COM5 or a device path.";
            invocation.portNumber = number;
            invocation.device.reset();
            return std::nullopt;
        }
    }
    invocation.portNumber = 1;
    invocation.device = text;
    return std::nullopt;
}

Reason assignAddress(std::uint8_t& target, const QString& text)
{
    const auto address = protocol::parseBoardAddress(text.toStdString());
    if (!address)
        return address.reason();
    target = *address;
    return std::nullopt;
}

Reason assignRange(AddressRange& range, const QString& text)
{
    const QStringList ends = text.split(QLatin1Char('-'));
    if (ends.size() != 2)
        return "Give a range of addresses FROM-TO, for instance 0-99.";
    if (const Reason refused = assignAddress(range.first, ends[0]))
        return refused;
    if (const Reason refused = assignAddress(range.last, ends[1]))
        return refused;
    if (range.first > range.last)
        return "FROM must not be above TO.";
    return std::nullopt;
}

MqttSettings& mqttSettings(Invocation& invocation)
{
    if (!invocation.mqtt) {
        invocation.mqtt.emplace();
        // Never on the command line, where ps shows it.
        invocation.mqtt->password = qEnvironmentVariable("KXLT_MQTT_PASSWORD");
    }
    return *invocation.mqtt;
}

// "1,2,7", "1-32", "1-4,9": every address once, in the order given.
Reason assignAddresses(Invocation& invocation, const QString& text)
{
    std::vector<std::uint8_t> addresses;
    for (const QString& item : text.split(QLatin1Char(','))) {
        AddressRange range;
        const Reason refused = item.contains(QLatin1Char('-')) ? assignRange(range, item)
                                                               : assignAddress(range.first, item);
        if (refused)
            return refused;
        if (!item.contains(QLatin1Char('-')))
            range.last = range.first;
        for (unsigned address = range.first; address <= range.last; ++address)
            if (std::find(addresses.begin(), addresses.end(), address) == addresses.end())
                addresses.push_back(static_cast<std::uint8_t>(address));
    }
    invocation.addresses = addresses;
    invocation.address = addresses.front();
    return std::nullopt;
}

// HOST or HOST:PORT, the port 1883 unless given.
Reason assignBroker(Invocation& invocation, const QString& text)
{
    MqttSettings& settings = mqttSettings(invocation);
    settings.host = text;
    if (const qsizetype colon = text.lastIndexOf(QLatin1Char(':')); colon >= 0) {
        const auto port = wholeNumber(text.mid(colon + 1), 1, 65535);
        if (!port)
            return "Give the broker as HOST or HOST:PORT, the port from 1 to 65535.";
        settings.host = text.left(colon);
        settings.port = static_cast<int>(*port);
    }
    if (settings.host.isEmpty())
        return "Give the broker as HOST or HOST:PORT.";
    return std::nullopt;
}

// MQTT wildcards cannot stand in a topic that is published to.
Reason assignTopic(Invocation& invocation, const QString& text)
{
    if (text.isEmpty() || text.contains(QLatin1Char('+')) || text.contains(QLatin1Char('#')) ||
        text.contains(QChar(0)))
        return "Give a topic prefix without + or #, for instance plant/line1.";
    mqttSettings(invocation).topicPrefix = text;
    return std::nullopt;
}

Reason assignFormat(Invocation& invocation, OutputFormat format)
{
    if (invocation.format != OutputFormat::Text && invocation.format != format)
        return "--json and --csv exclude each other.";
    invocation.format = format;
    return std::nullopt;
}

bool anyCommand(Command) { return true; }
bool watchOnly(Command command) { return command == Command::Watch; }
bool listsRows(Command command) { return command == Command::Scan || command == Command::Watch; }
bool loadsAValue(Command command)
{
    return command == Command::Goal || command == Command::Actual ||
           command == Command::Increment || command == Command::SetAddress;
}

struct Option {
    QLatin1StringView name;
    bool takesValue;
    bool (*appliesTo)(Command);
    Reason (*assign)(Invocation& invocation, const QString& value);
};

const Option kOptions[] = {
    {QLatin1StringView("--port"), true, anyCommand, assignPort},
    {QLatin1StringView("--address"), true, anyCommand, assignAddresses},
    {QLatin1StringView("--timeout"), true, anyCommand,
     [](Invocation& i, const QString& v) { return assignMilliseconds(i.timeout, v); }},
    {QLatin1StringView("--json"), false, anyCommand,
     [](Invocation& i, const QString&) { return assignFormat(i, OutputFormat::Json); }},
    {QLatin1StringView("--csv"), false, listsRows,
     [](Invocation& i, const QString&) { return assignFormat(i, OutputFormat::Csv); }},
    {QLatin1StringView("--verify"), false, loadsAValue,
     [](Invocation& i, const QString&) {
         i.verify = true;
         return Reason();
     }},
    {QLatin1StringView("--reconnect"), false, watchOnly,
     [](Invocation& i, const QString&) {
         i.reconnect = true;
         return Reason();
     }},
    {QLatin1StringView("--mqtt"), true, watchOnly, assignBroker},
    {QLatin1StringView("--topic"), true, watchOnly, assignTopic},
    {QLatin1StringView("--mqtt-user"), true, watchOnly,
     [](Invocation& i, const QString& v) {
         mqttSettings(i).userName = v;
         return Reason();
     }},
    {QLatin1StringView("--interval"), true, watchOnly,
     [](Invocation& i, const QString& v) { return assignMilliseconds(i.interval, v); }},
    {QLatin1StringView("--count"), true, watchOnly,
     [](Invocation& i, const QString& v) {
         const auto count = wholeNumber(v, 1, std::numeric_limits<unsigned>::max());
         if (!count)
             return Reason("Give a whole number of replies, at least 1.");
         i.count = static_cast<unsigned>(*count);
         return Reason();
     }},
};

constexpr QLatin1StringView kHelpOptions[] = {QLatin1StringView("-h"), QLatin1StringView("--help")};
constexpr QLatin1StringView kVersionOption("--version");

const Option* findOption(const QString& name)
{
    for (const Option& option : kOptions)
        if (option.name == name)
            return &option;
    return nullptr;
}

const CommandName* findCommand(const QString& name)
{
    for (const CommandName& command : kCommands)
        if (command.name == name)
            return &command;
    return nullptr;
}

std::string quoted(const QString& text) { return '\'' + text.toStdString() + '\''; }

// The command's operand, checked as the window checks its boxes.
Reason assignOperands(Invocation& invocation, const QStringList& operands)
{
    if (operands.isEmpty())
        return std::nullopt;
    const QString& operand = operands.front();
    switch (invocation.command) {
    case Command::Goal:
    case Command::Actual:
    case Command::Increment: {
        const auto value = protocol::encodeValueField(operand.toStdString());
        if (!value)
            return value.reason();
        invocation.value = *value;
        return std::nullopt;
    }
    case Command::SetAddress: return assignAddress(invocation.newAddress, operand);
    case Command::Scan: return assignRange(invocation.range, operand);
    default: return std::nullopt;
    }
}

} // namespace

ParsedArguments parseArguments(const QStringList& arguments)
{
    Invocation invocation;
    const CommandName* command = nullptr;
    QStringList operands;
    std::vector<const Option*> given;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString& word = arguments[i];
        if (std::find(std::begin(kHelpOptions), std::end(kHelpOptions), word) !=
            std::end(kHelpOptions))
            return HelpRequested{};
        if (word == kVersionOption)
            return VersionRequested{};
        // A single dash starts an operand, so that "goal -5" is refused as a value.
        if (!word.startsWith(QLatin1StringView("--"))) {
            if (command) {
                operands << word;
                continue;
            }
            command = findCommand(word);
            if (!command)
                return UsageError{"unknown command " + quoted(word)};
            continue;
        }
        const Option* option = findOption(word);
        if (!option)
            return UsageError{"unknown option " + quoted(word)};
        if (option->takesValue && i + 1 == arguments.size())
            return UsageError{word.toStdString() + " needs a value"};
        const QString value = option->takesValue ? arguments[++i] : QString();
        if (const Reason refused = option->assign(invocation, value)) {
            const std::string shown = option->takesValue ? ' ' + quoted(value) : std::string();
            return UsageError{word.toStdString() + shown + ": " + *refused};
        }
        given.push_back(option);
    }

    if (!command)
        return UsageError{"no command given"};
    invocation.command = command->command;
    const std::string commandName = command->name.toString().toStdString();
    if (operands.size() < command->minOperands)
        return UsageError{commandName + " needs a value"};
    if (operands.size() > command->maxOperands)
        return UsageError{"too many words after " + commandName + ": " +
                          quoted(operands.join(' '))};
    if (const Reason refused = assignOperands(invocation, operands))
        return UsageError{commandName + ' ' + quoted(operands.front()) + ": " + *refused};
    for (const Option* option : given)
        if (!option->appliesTo(invocation.command))
            return UsageError{option->name.toString().toStdString() + " does not go with " +
                              commandName};
    if (invocation.addresses.size() > 1 && invocation.command != Command::Watch)
        return UsageError{"--address takes a list of addresses only with watch"};
    if (invocation.mqtt && invocation.mqtt->host.isEmpty())
        return UsageError{"--topic and --mqtt-user go with --mqtt"};
    if (invocation.verify && invocation.command == Command::Increment)
        return UsageError{"increment --verify: no reply carries the increment, so nothing can "
                          "confirm it; check the actual count rising after start instead"};
    return invocation;
}

QStringList commandNames()
{
    QStringList names;
    for (const CommandName& command : kCommands)
        names << command.name;
    return names;
}

QStringList optionNames()
{
    QStringList names(std::begin(kHelpOptions), std::end(kHelpOptions));
    names << kVersionOption;
    for (const Option& option : kOptions)
        names << option.name;
    return names;
}

} // namespace kxlt::ctl
