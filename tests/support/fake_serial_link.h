#pragma once

#include "port/serial_link.h"

#include <QList>

#include <optional>

// Records what the window asks of its serial component and hands it prepared input. Window-state
// tests use it; the bytes on a real line are proven with a pseudo-terminal elsewhere.
class FakeSerialLink final : public kxlt::port::SerialLink {
public:
    bool opens = true;
    bool open = false;
    int portNumber = 0;
    QString device;
    std::optional<kxlt::port::LineSettings> settings;
    kxlt::port::Handshaking handshaking = kxlt::port::Handshaking::RtsCts;
    std::optional<bool> dtr;
    QList<QByteArray> written;

    void setCommPort(int number) override { portNumber = number; }
    void setDevice(const QString& value) override { device = value; }
    void setHandshaking(kxlt::port::Handshaking value) override { handshaking = value; }
    void setSettings(const kxlt::port::LineSettings& value) override { settings = value; }
    bool portOpen() const override { return open; }
    void setPortOpen(bool value) override { open = value && opens; }
    QString openFailure() const override
    {
        return opens ? QString() : QStringLiteral("Device busy");
    }
    void setDTREnable(bool enable) override { dtr = enable; }
    void output(std::span<const std::uint8_t> bytes) override
    {
        written.append(QByteArray(reinterpret_cast<const char*>(bytes.data()),
                                  static_cast<qsizetype>(bytes.size())));
    }

    // Bytes as one read of the line, then the line going quiet.
    void receive(const QByteArray& bytes)
    {
        emit received(bytes);
        emit lineQuiet();
    }
    void quiet() { emit lineQuiet(); }
    void lose(const QString& reason)
    {
        open = false;
        emit portLost(reason);
    }
};
