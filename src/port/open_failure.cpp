#include "port/open_failure.h"

#include <QFile>

#ifndef Q_OS_WIN
#include <unistd.h>
#endif

namespace kxlt::port {

namespace {

// Qt reports a device held by another program and a device the user may not open alike; only
// the second is mended with a group.
bool userMayOpen(const QString& device)
{
#ifdef Q_OS_WIN
    Q_UNUSED(device);
    return true;
#else
    return ::access(QFile::encodeName(device).constData(), R_OK | W_OK) == 0;
#endif
}

} // namespace

QString openFailureText(const QString& device, QSerialPort::SerialPortError error,
                        const QString& systemText)
{
    switch (error) {
    case QSerialPort::PermissionError:
        if (userMayOpen(device))
            return QStringLiteral("%1 is busy: another program holds it. Close that program and "
                                  "press Open port again.")
                .arg(device);
#ifdef Q_OS_WIN
        return QStringLiteral("%1 did not open: access denied.").arg(device);
#else
        return QStringLiteral("%1 did not open: permission denied. Add your user to the group "
                              "that owns the device, usually dialout, and log in again.")
            .arg(device);
#endif
    case QSerialPort::DeviceNotFoundError:
        return QStringLiteral("%1 did not open: no such device. Is the adapter plugged in?")
            .arg(device);
    default: return QStringLiteral("%1 did not open: %2.").arg(device, systemText);
    }
}

QString lostPortText(QSerialPort::SerialPortError error)
{
    if (error == QSerialPort::WriteError)
        return QStringLiteral("writing to the device failed.");
    // An adapter pulled out shows as a read or a resource error, depending on the driver.
    return QStringLiteral("the device is gone (unplugged, or the adapter stopped).");
}

} // namespace kxlt::port
