#include "mqtt_broker.h"

#include <QDeadlineTimer>
#include <QTcpServer>

namespace {

constexpr int kWaitMs = 5000;

quint16 freePort()
{
    QTcpServer server;
    server.listen(QHostAddress::LocalHost, 0);
    return server.serverPort();
}

// Waits until the process has printed a line containing `text`; what it printed goes to `printed`.
bool waitForLine(QProcess& process, const QByteArray& text, QByteArray& printed)
{
    const QDeadlineTimer deadline(kWaitMs);
    while (!printed.contains(text) && process.waitForReadyRead(int(deadline.remainingTime())))
        printed += process.readAll();
    if (!printed.contains(text))
        qWarning("%s printed no \"%s\": %s", qPrintable(process.program()), text.constData(),
                 printed.constData());
    return printed.contains(text);
}

} // namespace

Broker::Broker() : port_(freePort()) {}

// With no configuration mosquitto listens on the loopback interface only, takes anonymous clients
// and keeps nothing on disk.
bool Broker::start()
{
    process_.setProcessChannelMode(QProcess::MergedChannels);
    process_.start("/usr/sbin/mosquitto", {"-p", QString::number(port_)});
    QByteArray log;
    return waitForLine(process_, " running", log);
}

void Broker::stop()
{
    process_.kill();
    process_.waitForFinished();
}

Subscriber::Subscriber(const Broker& broker, const QString& prefix)
{
    // Line-buffered: otherwise its debug lines wait in its buffer for the next message.
    process_.start("/usr/bin/stdbuf",
                   {"-oL", "/usr/bin/mosquitto_sub", "-d", "-h", "127.0.0.1", "-p",
                    QString::number(broker.port()), "-t", prefix + "/#", "-F", "message %r %t %p"});
}

Subscriber::~Subscriber()
{
    process_.kill();
    process_.waitForFinished();
}

bool Subscriber::subscribed() { return waitForLine(process_, "Subscribed", printed_); }

QStringList Subscriber::retained()
{
    QStringList kept = messagesRetained({"1"});
    kept.sort();
    return kept;
}

QStringList Subscriber::messagesRetained(const QStringList& flags)
{
    printed_ += process_.readAll();
    QStringList found;
    for (const QByteArray& line : printed_.split('\n')) {
        const QStringList words = QString::fromUtf8(line).split(' ');
        if (words.size() >= 3 && words[0] == "message" && flags.contains(words[1]))
            found << words.mid(2).join(' ');
    }
    return found;
}
