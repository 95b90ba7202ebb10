#pragma once

#include <QByteArray>
#include <QProcess>
#include <QStringList>

// mosquitto on 127.0.0.1 at a port that was free, keeping nothing on disk, so that a restart
// forgets everything retained.
class Broker {
public:
    Broker();
    ~Broker() { stop(); }

    quint16 port() const { return port_; }

    [[nodiscard]] bool start();
    void stop();

private:
    const quint16 port_;
    QProcess process_;
};

// mosquitto_sub on PREFIX/#, keeping every message as "TOPIC PAYLOAD".
class Subscriber {
public:
    Subscriber(const Broker& broker, const QString& prefix);
    ~Subscriber();

    [[nodiscard]] bool subscribed();
    // In the order they came.
    QStringList messages() { return messagesRetained({"0", "1"}); }
    // Those the broker sent as it kept them, not as they were published, sorted.
    QStringList retained();

private:
    QStringList messagesRetained(const QStringList& flags);

    QProcess process_;
    QByteArray printed_;
};
