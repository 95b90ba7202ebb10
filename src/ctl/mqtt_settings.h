#pragma once

#include <QString>

namespace kxlt::ctl {

// Where and as whom kxltctl publishes to a plant's MQTT broker.
struct MqttSettings {
    QString host;
    int port = 1883;
    QString topicPrefix = QStringLiteral("kxlt");
    // Empty: the broker is asked without a user name, and then without a password.
    QString userName;
    QString password;
    // Empty: the broker names the client.
    QString clientId;
};

} // namespace kxlt::ctl
