#include "ctl/board_line.h"

namespace kxlt::ctl {

BoardLine::BoardLine(QObject* parent) : QObject(parent)
{
    connect(&link_, &port::SerialLink::received, this, &BoardLine::take);
    connect(&link_, &port::SerialLink::lineQuiet, this, &BoardLine::takeQuiet);
    connect(&link_, &port::SerialLink::portLost, this, &BoardLine::takeLoss);
}

QString BoardLine::open(int portNumber)
{
    link_.setHandshaking(port::Handshaking::None);
    link_.setSettings(port::kBoardLineSettings);
    link_.setCommPort(portNumber);
    framer_.reset();
    link_.setPortOpen(true);
    return link_.portOpen() ? QString() : link_.openFailure();
}

void BoardLine::send(const protocol::TransmitBuffer& buffer) { link_.output(buffer); }

void BoardLine::setDataTerminalReady(bool ready) { link_.setDTREnable(ready); }

void BoardLine::take(const QByteArray& bytes)
{
    quiet_ = false;
    report(framer_.receive({reinterpret_cast<const std::uint8_t*>(bytes.constData()),
                            static_cast<std::size_t>(bytes.size())}));
}

void BoardLine::takeQuiet()
{
    quiet_ = true;
    report(framer_.lineQuiet());
    emit wentQuiet();
}

void BoardLine::takeLoss(const QString& reason)
{
    framer_.reset();
    lostReason_ = reason;
    emit lost(reason);
}

void BoardLine::report(const std::vector<protocol::LineEvent>& events)
{
    for (const protocol::LineEvent& event : events)
        emit lineEvent(event);
}

} // namespace kxlt::ctl
