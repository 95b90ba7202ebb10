#include "port/port_mapping.h"

#include <QFile>
#include <QSerialPortInfo>
#include <QtGlobal>

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <tuple>

namespace kxlt::port {

namespace {

std::string_view baseName(std::string_view path)
{
    const auto slash = path.rfind('/');
    return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

bool isAdapter(std::string_view name)
{
    return name.starts_with("ttyUSB") || name.starts_with("ttyACM");
}

// (group, stem, number) so that a name's trailing number sorts as a number.
auto sortKey(const std::string& device)
{
    const std::string_view name = baseName(device);
    std::size_t digitsStart = name.size();
    while (digitsStart > 0 && name[digitsStart - 1] >= '0' && name[digitsStart - 1] <= '9')
        --digitsStart;
    const std::string_view digits = name.substr(digitsStart);
    const unsigned long number =
        digits.empty() || digits.size() > 9 ? 0 : std::stoul(std::string(digits));
    return std::make_tuple(isAdapter(name) ? 0 : 1, name.substr(0, digitsStart), number, name);
}

std::vector<std::string> systemDevices()
{
    std::vector<std::string> devices;
#ifdef Q_OS_WIN
    for (int portNumber = 1; portNumber <= kPortCount; ++portNumber)
        devices.push_back("COM" + std::to_string(portNumber));
#else
    for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts())
        devices.push_back(info.systemLocation().toStdString());
#endif
    return devices;
}

// The path as the environment holds it, bytes that are not UTF-8 included.
std::optional<QString> overriddenDevice(int portNumber)
{
    const QByteArray path = qgetenv(QStringLiteral("KXLT_COM%1").arg(portNumber).toLatin1());
    if (path.isEmpty())
        return std::nullopt;
    return resolvedDevice(path);
}

} // namespace

QString resolvedDevice(const QByteArray& path)
{
    const std::unique_ptr<char, decltype(&std::free)> resolved(realpath(path.constData(), nullptr),
                                                               &std::free);
    return QFile::decodeName(resolved ? QByteArray(resolved.get()) : path);
}

std::vector<std::string> inComOrder(std::vector<std::string> devices)
{
    std::sort(devices.begin(), devices.end(),
              [](const std::string& a, const std::string& b) { return sortKey(a) < sortKey(b); });
    return devices;
}

std::array<std::optional<QString>, kPortCount>
comPortDevices(const std::vector<std::string>& systemDevices)
{
    const std::vector<std::string> ordered = inComOrder(systemDevices);
    std::array<std::optional<QString>, kPortCount> devices;
    for (int portNumber = 1; portNumber <= kPortCount; ++portNumber) {
        const auto index = static_cast<std::size_t>(portNumber) - 1;
        devices[index] = overriddenDevice(portNumber);
        if (!devices[index] && index < ordered.size())
            devices[index] = QString::fromStdString(ordered[index]);
    }
    return devices;
}

std::array<std::optional<QString>, kPortCount> comPortDevices()
{
    return comPortDevices(systemDevices());
}

std::optional<QString> deviceForPort(int portNumber)
{
    if (portNumber < 1 || portNumber > kPortCount)
        return std::nullopt;
    return comPortDevices()[static_cast<std::size_t>(portNumber) - 1];
}

QString describePort(int portNumber, const std::optional<QString>& device)
{
    if (!device)
        return QStringLiteral("COM%1: no serial device found").arg(portNumber);
    return QStringLiteral("COM%1 opens %2").arg(portNumber).arg(*device);
}

} // namespace kxlt::port
