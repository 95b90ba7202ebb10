#include "port/board_line.h"

#include <QEventLoop>
#include <QTimer>

namespace kxlt::port {

BoardLine::BoardLine(SerialLink& link, QObject* parent) : QObject(parent), link_(link)
{
    connect(&link_, &SerialLink::received, this, &BoardLine::take);
    connect(&link_, &SerialLink::lineQuiet, this, &BoardLine::takeQuiet);
    connect(&link_, &SerialLink::portLost, this, &BoardLine::takeLoss);
}

bool BoardLine::open(int portNumber, const std::optional<QString>& device)
{
    link_.setHandshaking(Handshaking::None);
    link_.setSettings(kBoardLineSettings);
    link_.setCommPort(portNumber);
    if (device)
        link_.setDevice(*device);
    link_.setPortOpen(true);
    if (!link_.portOpen())
        return false;
    framer_.reset();
    quiet_ = false;
    lostReason_.reset();
    return true;
}

void BoardLine::close() { link_.setPortOpen(false); }

void BoardLine::send(const protocol::TransmitBuffer& buffer) { link_.output(buffer); }

void BoardLine::setDataTerminalReady(bool ready) { link_.setDTREnable(ready); }

void BoardLine::awaitQuiet(std::chrono::milliseconds limit)
{
    if (quiet_ || lostReason_)
        return;
    QEventLoop loop;
    QTimer timer;
    timer.setSingleShot(true);
    connect(&timer, &QTimer::timeout, &loop, &QEventLoop::quit);
    connect(this, &BoardLine::wentQuiet, &loop, &QEventLoop::quit);
    connect(this, &BoardLine::lost, &loop, &QEventLoop::quit);
    timer.start(limit);
    loop.exec();
}

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

} // namespace kxlt::port
