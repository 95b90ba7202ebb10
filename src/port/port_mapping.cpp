#include "port/port_mapping.h"

#include <QSerialPortInfo>
#include <QtGlobal>

#include <algorithm>
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

} // namespace

std::vector<std::string> inComOrder(std::vector<std::string> devices)
{
    std::sort(devices.begin(), devices.end(),
              [](const std::string& a, const std::string& b) { return sortKey(a) < sortKey(b); });
    return devices;
}

QString deviceForPort(int portNumber)
{
    const QString variable = QStringLiteral("KXLT_COM%1").arg(portNumber);
    const QString overridden = qEnvironmentVariable(variable.toLatin1().constData());
    if (!overridden.isEmpty())
        return overridden;
#ifdef Q_OS_WIN
    return QStringLiteral("COM%1").arg(portNumber);
#else
    std::vector<std::string> devices;
    for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts())
        devices.push_back(info.systemLocation().toStdString());
    devices = inComOrder(std::move(devices));
    if (portNumber < 1 || static_cast<std::size_t>(portNumber) > devices.size())
        return {};
    return QString::fromStdString(devices[static_cast<std::size_t>(portNumber) - 1]);
#endif
}

QString describePort(int portNumber)
{
    const QString device = deviceForPort(portNumber);
    if (device.isEmpty())
        return QStringLiteral("COM%1: no serial device found").arg(portNumber);
    return QStringLiteral("COM%1 opens %2").arg(portNumber).arg(device);
}

} // namespace kxlt::port
