#pragma once

#include "port/line_settings.h"
#include "port/serial_link.h"

#include <QSerialPort>

#include <optional>

namespace kxlt::port {

class QtSerialLink final : public SerialLink {
    Q_OBJECT

public:
    explicit QtSerialLink(QObject* parent = nullptr);

    void setCommPort(int portNumber) override;
    void setHandshaking(Handshaking handshaking) override;
    bool setSettings(std::string_view settings) override;
    void setRThreshold(int byteCount) override;
    void setInputMode(InputMode mode) override;

    bool portOpen() const override;
    void setPortOpen(bool open) override;
    QString openFailure() const override;

    void setDTREnable(bool enable) override;

    void output(std::span<const std::uint8_t> bytes) override;
    QByteArray input() override;
    CommEvent commEvent() const override;

private:
    void open();
    void applyLineSettings();
    void raiseReceiveEvent();
    void handleError(QSerialPort::SerialPortError error);

    QSerialPort port_;
    int portNumber_ = 1;
    Handshaking handshaking_ = Handshaking::None;
    LineSettings lineSettings_;
    int receiveThreshold_ = 0;
    std::optional<bool> dataTerminalReady_;
    QString openFailure_;
    CommEvent commEvent_ = CommEvent::None;
};

} // namespace kxlt::port
