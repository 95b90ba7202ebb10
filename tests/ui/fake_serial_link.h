#pragma once

#include "port/serial_link.h"

#include <QList>

// Records what the window asks of its serial component and hands it prepared input. Window-state
// tests use it; the bytes on a real line are proven with a pseudo-terminal elsewhere.
class FakeSerialLink final : public kxlt::port::SerialLink {
public:
    bool opens = true;
    bool open = false;
    int portNumber = 0;
    QString settings;
    int threshold = 0;
    kxlt::port::Handshaking handshaking = kxlt::port::Handshaking::RtsCts;
    std::optional<bool> dtr;
    QList<QByteArray> written;
    QList<QByteArray> pending;
    qint64 inputReads = 0;
    kxlt::port::CommEvent event = kxlt::port::CommEvent::Receive;

    void setCommPort(int number) override { portNumber = number; }
    void setHandshaking(kxlt::port::Handshaking value) override { handshaking = value; }
    bool setSettings(std::string_view text) override
    {
        settings = QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
        return true;
    }
    void setRThreshold(int byteCount) override { threshold = byteCount; }
    void setInputMode(kxlt::port::InputMode) override {}
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
    QByteArray input() override
    {
        ++inputReads;
        return pending.isEmpty() ? QByteArray() : pending.takeFirst();
    }
    kxlt::port::CommEvent commEvent() const override { return event; }

    // Delivers one block as a receive event.
    void receive(const QByteArray& block)
    {
        pending.append(block);
        emit onComm();
    }
    void lose(const QString& reason)
    {
        open = false;
        emit portLost(reason);
    }
};
