#pragma once

#include "port/serial_link.h"

#include <QSerialPort>
#include <QTimer>

#include <optional>

namespace kxlt::port {

class QtSerialLink final : public SerialLink {
    Q_OBJECT

public:
    explicit QtSerialLink(QObject* parent = nullptr);

    void setCommPort(int portNumber) override;
    void setDevice(const QString& device) override;
    void setHandshaking(Handshaking handshaking) override;
    void setSettings(const LineSettings& settings) override;

    bool portOpen() const override;
    void setPortOpen(bool open) override;
    QString openFailure() const override;

    void setDTREnable(bool enable) override;

    void output(std::span<const std::uint8_t> bytes) override;

private:
    void open();
    void close();
    void applyLineSettings();
    void handOverBytes();
    void handleError(QSerialPort::SerialPortError error);

    // A child object, so that a test can find it and see what the link asked of it.
    QSerialPort port_{this};
    QTimer quietTimer_;
    int portNumber_ = 1;
    std::optional<QString> device_;
    Handshaking handshaking_ = Handshaking::None;
    LineSettings lineSettings_;
    std::optional<bool> dataTerminalReady_;
    QString openFailure_;
};

} // namespace kxlt::port
