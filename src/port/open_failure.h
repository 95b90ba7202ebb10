#pragma once

#include <QSerialPort>
#include <QString>

namespace kxlt::port {

// Why a device did not open, with what the operator can do about it.
QString openFailureText(const QString& device, QSerialPort::SerialPortError error,
                        const QString& systemText);

} // namespace kxlt::port
