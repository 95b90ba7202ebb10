#pragma once

#include "ctl/mqtt_settings.h"

#include <QByteArray>

#include <chrono>
#include <map>
#include <mutex>
#include <thread>

struct mosquitto;

namespace kxlt::ctl {

// Feeds a plant's MQTT broker with what the boards answer, every message retained at QoS 1:
// PREFIX/ADDRESS holds a board's latest reading, PREFIX/ADDRESS/state `answering` or `silent`,
// PREFIX/status `online` while the publisher is connected and `offline` once it has gone, by a
// clean stop or as its will. Connecting, reconnecting and sending happen on a thread of its own,
// so no call waits for the broker: the publish calls, safe from any thread, only note the payload.
// Only the latest payload of each topic is kept, and sent again on every connection, so a broker
// that restarts without persistence gets every board back. libmosquitto ignores SIGPIPE from then
// on, in the whole process.
class MqttPublisher {
public:
    explicit MqttPublisher(const MqttSettings& settings);
    ~MqttPublisher();
    MqttPublisher(const MqttPublisher&) = delete;
    MqttPublisher& operator=(const MqttPublisher&) = delete;

    void publishReading(int address, const QByteArray& json);
    // Sent only when it differs from what was last given for the address.
    void publishState(int address, bool answering);
    // Connected, publishes `offline` and everything still unsent, waits a short while for the
    // broker to take it and disconnects; what the broker has not taken by then, the will covers.
    // Not connected, returns at once. Calls after it are ignored; the destructor stops too.
    void stop();

private:
    using Clock = std::chrono::steady_clock;

    // A topic's latest payload; whether the current connection still has to send it; the id of
    // its message the broker has not acknowledged yet. One message per topic at a time: while a
    // broker is slow to acknowledge, or a connection has died unnoticed, the library holds one
    // payload of each topic and the latest waits here, instead of every one given meanwhile.
    struct Topic {
        QByteArray payload;
        bool pending = false;
        int unacknowledged = 0;
    };

    QByteArray boardTopic(int address) const;
    void setLatest(const QByteArray& topic, const QByteArray& payload);

    void run();
    void serveUntilStopped();
    void attemptConnection(Clock::time_point now);
    void serve(std::chrono::milliseconds timeout);
    void sendPending();
    void connected(int result);
    void acknowledged(int id);
    bool allAcknowledged();
    bool stopRequested();

    const MqttSettings settings_;
    const QByteArray prefix_;
    const int wakeFd_;

    std::mutex mutex_;
    std::map<QByteArray, Topic> topics_;
    bool stopping_ = false;

    // Only the publisher's thread touches these.
    mosquitto* client_ = nullptr;
    bool connected_ = false;
    Clock::time_point nextAttempt_;
    std::chrono::seconds retryDelay_;

    std::thread thread_;
};

} // namespace kxlt::ctl
