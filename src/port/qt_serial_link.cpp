#include "port/qt_serial_link.h"

#include "port/open_failure.h"
#include "port/port_mapping.h"

namespace kxlt::port {

namespace {

QSerialPort::Parity toQt(Parity parity)
{
    switch (parity) {
    case Parity::None: return QSerialPort::NoParity;
    case Parity::Even: return QSerialPort::EvenParity;
    case Parity::Odd: return QSerialPort::OddParity;
    case Parity::Mark: return QSerialPort::MarkParity;
    case Parity::Space: return QSerialPort::SpaceParity;
    }
    return QSerialPort::NoParity;
}

QSerialPort::StopBits toQt(StopBits stopBits)
{
    switch (stopBits) {
    case StopBits::One: return QSerialPort::OneStop;
    case StopBits::OneAndHalf: return QSerialPort::OneAndHalfStop;
    case StopBits::Two: return QSerialPort::TwoStop;
    }
    return QSerialPort::OneStop;
}

QSerialPort::FlowControl toQt(Handshaking handshaking)
{
    switch (handshaking) {
    case Handshaking::None: return QSerialPort::NoFlowControl;
    case Handshaking::XonXoff: return QSerialPort::SoftwareControl;
    case Handshaking::RtsCts: return QSerialPort::HardwareControl;
    }
    return QSerialPort::NoFlowControl;
}

// Errors after which the device cannot be used any more.
bool meansDeviceLost(QSerialPort::SerialPortError error)
{
    return error == QSerialPort::ResourceError || error == QSerialPort::ReadError ||
           error == QSerialPort::WriteError;
}

} // namespace

QtSerialLink::QtSerialLink(QObject* parent) : SerialLink(parent)
{
    quietTimer_.setSingleShot(true);
    quietTimer_.setInterval(kQuietTime);
    connect(&port_, &QSerialPort::readyRead, this, &QtSerialLink::handOverBytes);
    connect(&port_, &QSerialPort::errorOccurred, this, &QtSerialLink::handleError);
    connect(&quietTimer_, &QTimer::timeout, this, &SerialLink::lineQuiet);
}

void QtSerialLink::setCommPort(int portNumber)
{
    portNumber_ = portNumber;
    device_.reset();
}

void QtSerialLink::setDevice(const QString& device) { device_ = device; }

void QtSerialLink::setHandshaking(Handshaking handshaking) { handshaking_ = handshaking; }

void QtSerialLink::setSettings(const LineSettings& settings) { lineSettings_ = settings; }

bool QtSerialLink::portOpen() const { return port_.isOpen(); }

void QtSerialLink::setPortOpen(bool open)
{
    if (open == port_.isOpen())
        return;
    if (open)
        this->open();
    else
        close();
}

void QtSerialLink::open()
{
    const std::optional<QString> device = device_ ? device_ : deviceForPort(portNumber_);
    if (!device) {
        openFailure_ = QStringLiteral("No serial device for COM%1.").arg(portNumber_);
        return;
    }
    applyLineSettings();
    port_.setPortName(*device);
    if (!port_.open(QIODevice::ReadWrite)) {
        openFailure_ = openFailureText(*device, port_.error(), port_.errorString());
        return;
    }
    openFailure_.clear();
    // What waited on the line was sent before anyone asked: no answer to this window.
    port_.clear(QSerialPort::Input);
    quietTimer_.start();
    if (dataTerminalReady_)
        port_.setDataTerminalReady(*dataTerminalReady_);
}

void QtSerialLink::close()
{
    quietTimer_.stop();
    port_.close();
}

void QtSerialLink::applyLineSettings()
{
    port_.setBaudRate(lineSettings_.baudRate);
    port_.setParity(toQt(lineSettings_.parity));
    port_.setDataBits(static_cast<QSerialPort::DataBits>(lineSettings_.dataBits));
    port_.setStopBits(toQt(lineSettings_.stopBits));
    port_.setFlowControl(toQt(handshaking_));
}

QString QtSerialLink::openFailure() const { return openFailure_; }

void QtSerialLink::setDTREnable(bool enable)
{
    dataTerminalReady_ = enable;
    if (port_.isOpen())
        port_.setDataTerminalReady(enable);
}

void QtSerialLink::output(std::span<const std::uint8_t> bytes)
{
    if (!port_.isOpen())
        return;
    port_.write(reinterpret_cast<const char*>(bytes.data()), static_cast<qint64>(bytes.size()));
    // Hand the bytes to the driver now rather than at the next turn of the event loop.
    port_.flush();
}

void QtSerialLink::handOverBytes()
{
    quietTimer_.start();
    const QByteArray bytes = port_.readAll();
    if (!bytes.isEmpty())
        emit received(bytes);
}

void QtSerialLink::handleError(QSerialPort::SerialPortError error)
{
    // Opening reports NoError, and a pseudo-terminal refuses DTR; neither harms an open port.
    if (!port_.isOpen() || !meansDeviceLost(error))
        return;
    close();
    emit portLost(lostPortText(error));
}

} // namespace kxlt::port
