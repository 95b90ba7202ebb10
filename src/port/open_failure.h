#pragma once

#include <QSerialPort>
#include <QString>

namespace kxlt::port {

// Why a device did not open, with what the operator can do about it.
QString openFailureText(const QString& device, QSerialPort::SerialPortError error,
                        const QString& systemText);

// Why an open port was closed under the operator's hands.
QString lostPortText(QSerialPort::SerialPortError error);

} // namespace kxlt::port
