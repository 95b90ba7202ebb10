// A publisher in a process of its own, for a test to kill: it gives one reading to the broker on
// 127.0.0.1 and waits.
// Usage: mqtt_publish_probe PORT PREFIX ADDRESS JSON
#include "ctl/mqtt_publisher.h"

#include <cstdlib>
#include <unistd.h>

int main(int argc, char* argv[])
{
    if (argc != 5)
        return EXIT_FAILURE;
    kxlt::ctl::MqttSettings settings;
    settings.host = "127.0.0.1";
    settings.port = std::atoi(argv[1]);
    settings.topicPrefix = QString::fromLocal8Bit(argv[2]);
    kxlt::ctl::MqttPublisher publisher(settings);
    publisher.publishReading(std::atoi(argv[3]), argv[4]);
    for (;;)
        pause();
}
