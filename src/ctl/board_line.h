#pragma once

#include "port/qt_serial_link.h"
#include "protocol/command_frame.h"
#include "protocol/reply_framer.h"

#include <QObject>
#include <QString>

#include <optional>

namespace kxlt::ctl {

// The serial line to the boards: frames out, and what comes back cut into replies.
class BoardLine final : public QObject {
    Q_OBJECT

public:
    explicit BoardLine(QObject* parent = nullptr);

    // Opens COMn at the boards' line settings. Empty when it opened, otherwise why not, in the
    // operator's words.
    QString open(int portNumber);
    void send(const protocol::TransmitBuffer& buffer);
    void setDataTerminalReady(bool ready);

    // Nothing has arrived for the quiet time: a reply may begin with the next byte.
    bool quiet() const { return quiet_; }
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

    port::QtSerialLink link_;
    protocol::ReplyFramer framer_;
    bool quiet_ = false;
    std::optional<QString> lostReason_;
};

} // namespace kxlt::ctl
