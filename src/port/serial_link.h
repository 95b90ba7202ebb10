#pragma once

#include "port/line_settings.h"

#include <QByteArray>
#include <QObject>
#include <QString>

#include <chrono>
#include <cstdint>
#include <span>

namespace kxlt::port {

enum class Handshaking { None = 0, XonXoff = 1, RtsCts = 2 };

// How long the line must stay silent before the next byte may begin a reply. A board answers
// within a few milliseconds and a reply takes 28 ms at 9600 baud, but USB adapters hand bytes
// over in chunks up to 16 ms apart and slow ones trickle at 50 ms a byte; the automatic test
// asks once a second. 100 ms is well clear of both.
inline constexpr std::chrono::milliseconds kQuietTime{100};

// The window's one serial component. Settings given to it stay until given again and are used
// by every later open; it is created closed. Everything runs on the window's thread.
class SerialLink : public QObject {
    Q_OBJECT

public:
    using QObject::QObject;

    // Port n opens the device that COMn stands for at the time of the open...
    virtual void setCommPort(int portNumber) = 0;
    // ...unless a device is named: it is opened, as port n, until the next setCommPort.
    virtual void setDevice(const QString& device) = 0;
    virtual void setHandshaking(Handshaking handshaking) = 0;
    virtual void setSettings(const LineSettings& settings) = 0;

    virtual bool portOpen() const = 0;
    // Opening can fail: the port then stays closed and openFailure() says why. Bytes that
    // waited on the line before the open are discarded.
    virtual void setPortOpen(bool open) = 0;
    virtual QString openFailure() const = 0;

    // Kept, and applied now if open and on every later open.
    virtual void setDTREnable(bool enable) = 0;

    // All bytes, in order, in one write; nothing when closed.
    virtual void output(std::span<const std::uint8_t> bytes) = 0;

signals:
    // Bytes as they arrive, in pieces of any size.
    void received(const QByteArray& bytes);
    // Nothing has arrived for kQuietTime since the last byte, or since the port opened.
    void lineQuiet();
    // The device went away or failed while open; the link has closed the port.
    void portLost(const QString& reason);
};

} // namespace kxlt::port
