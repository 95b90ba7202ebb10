#include "port/open_failure.h"

namespace kxlt::port {

QString openFailureText(const QString& device, QSerialPort::SerialPortError error,
                        const QString& systemText)
{
    const QString prefix = QStringLiteral("%1 did not open: %2.").arg(device, systemText);
    switch (error) {
    case QSerialPort::PermissionError:
#ifdef Q_OS_WIN
        return prefix + QStringLiteral(" Another program may be using it.");
#else
        return prefix + QStringLiteral(" Another program may be using it, or your user lacks "
                                       "access: add it to the group that owns the device, "
                                       "usually dialout, and log in again.");
#endif
    case QSerialPort::DeviceNotFoundError:
        return prefix + QStringLiteral(" Is the adapter plugged in?");
    default: return prefix;
    }
}

} // namespace kxlt::port
