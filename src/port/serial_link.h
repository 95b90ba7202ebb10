#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>

#include <cstdint>
#include <span>
#include <string_view>

namespace kxlt::port {

enum class Handshaking { None = 0, XonXoff = 1, RtsCts = 2 };
// Binary input hands the received bytes over untouched; it is the only mode the tool uses.
enum class InputMode { Binary = 1 };
enum class CommEvent { None = 0, Receive = 2 };

// The window's one serial component. Settings given to it stay until given again and are used
// by every later open; it is created closed. Everything runs on the window's thread.
class SerialLink : public QObject {
    Q_OBJECT

public:
    using QObject::QObject;

    virtual void setCommPort(int portNumber) = 0;
    virtual void setHandshaking(Handshaking handshaking) = 0;
    // "9600,N,8,1"; false when the text does not read as line settings.
    virtual bool setSettings(std::string_view settings) = 0;
    // The receive event is raised once at least this many bytes wait; 0 raises none.
    virtual void setRThreshold(int byteCount) = 0;
    virtual void setInputMode(InputMode mode) = 0;

    virtual bool portOpen() const = 0;
    // Opening can fail: the port then stays closed and openFailure() says why.
    virtual void setPortOpen(bool open) = 0;
    virtual QString openFailure() const = 0;

    // Kept, and applied now if open and on every later open.
    virtual void setDTREnable(bool enable) = 0;

    // All bytes, in order, in one write; nothing when closed.
    virtual void output(std::span<const std::uint8_t> bytes) = 0;
    // Everything received and not yet read; empty when nothing waits.
    virtual QByteArray input() = 0;
    virtual CommEvent commEvent() const = 0;

signals:
    void onComm();
    // The device went away or failed while open; the link has closed the port.
    void portLost(const QString& reason);
};

} // namespace kxlt::port
