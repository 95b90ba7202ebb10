#pragma once

#include "port/serial_link.h"
#include "protocol/command_frame.h"
#include "protocol/reply_framer.h"

#include <QObject>
#include <QString>

#include <chrono>
#include <optional>

namespace kxlt::port {

// The serial line to the boards, as the window and kxltctl both use it: opened at the boards'
// line settings, what arrives cut into replies, and what was kept forgotten on every open and
// loss, so that nothing from before is taken for an answer.
class BoardLine final : public QObject {
    Q_OBJECT

public:
    explicit BoardLine(SerialLink& link, QObject* parent = nullptr);

    // Opens the device as COMn; without one, the link says that COMn has none. False, with the
    // reason in openFailure(), when it did not open.
    bool open(int portNumber, const std::optional<QString>& device);
    void close();
    QString openFailure() const { return link_.openFailure(); }
    void send(const protocol::TransmitBuffer& buffer);
    void setDataTerminalReady(bool ready);

    // Nothing has arrived for the quiet time: the next byte begins a burst framed from its start.
    bool quiet() const { return quiet_; }
    // Runs the event loop until the line is quiet, the port is lost, or `limit` has passed.
    void awaitQuiet(std::chrono::milliseconds limit);
    // Why the port closed while open; nothing while it is open.
    const std::optional<QString>& lostReason() const { return lostReason_; }

signals:
    void lineEvent(const protocol::LineEvent& event);
    void wentQuiet();
    void lost(const QString& reason);

private:
    void take(const QByteArray& bytes);
    void takeQuiet();
    void takeLoss(const QString& reason);
    void report(const std::vector<protocol::LineEvent>& events);

    SerialLink& link_;
    protocol::ReplyFramer framer_;
    bool quiet_ = false;
    std::optional<QString> lostReason_;
};

} // namespace kxlt::port
