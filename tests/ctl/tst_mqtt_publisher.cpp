// MqttPublisher against Debian's mosquitto broker on a loopback port of its own; what reaches the
// broker is read back with mosquitto_sub.
#include "mqtt_broker.h"

#include "ctl/mqtt_publisher.h"

#include <QElapsedTimer>
#include <QTest>

using kxlt::ctl::MqttPublisher;
using kxlt::ctl::MqttSettings;

namespace {

constexpr int kWaitMs = 5000;
const QString kPrefix = QStringLiteral("plant");

QStringList sorted(QStringList list)
{
    list.sort();
    return list;
}

MqttSettings settingsFor(const Broker& broker)
{
    MqttSettings settings;
    settings.host = "127.0.0.1";
    settings.port = broker.port();
    settings.topicPrefix = kPrefix;
    return settings;
}

} // namespace

class MqttPublisherTest : public QObject {
    Q_OBJECT

private slots:
    // What kxltctl publishes is proven through kxltctl; here what it cannot show: a state given
    // again unchanged is not sent again, a changed one is, and a clean stop says offline promptly.
    void sendsAStateOnlyWhenItChanges()
    {
        Broker broker;
        QVERIFY(broker.start());
        Subscriber live(broker, kPrefix);
        QVERIFY(live.subscribed());
        MqttPublisher publisher(settingsFor(broker));
        publisher.publishState(1, true);
        QTRY_VERIFY_WITH_TIMEOUT(live.messages().contains("plant/1/state answering"), kWaitMs);
        publisher.publishState(1, true);
        publisher.publishState(1, false);
        QTRY_VERIFY_WITH_TIMEOUT(live.messages().contains("plant/1/state silent"), kWaitMs);
        QElapsedTimer stopping;
        stopping.start();
        publisher.stop();
        QCOMPARE_LT(stopping.elapsed(), 1000);
        QTRY_COMPARE_WITH_TIMEOUT(sorted(live.messages()),
                                  QStringList({"plant/1/state answering", "plant/1/state silent",
                                               "plant/status offline", "plant/status online"}),
                                  kWaitMs);
    }

    // Readings given while the broker is down: once it is up it gets the latest of them and no
    // other; restarted, having forgotten everything, it gets it again. Without a broker nothing
    // waits: not the calls, not the stop.
    void aBrokerThatComesLaterGetsTheLatest()
    {
        Broker broker;
        QElapsedTimer elapsed;
        elapsed.start();
        MqttPublisher publisher(settingsFor(broker));
        publisher.publishReading(3, R"({"address":3,"actual":1})");
        publisher.publishReading(3, R"({"address":3,"actual":2})");
        publisher.publishState(3, false);
        QCOMPARE_LT(elapsed.elapsed(), 500);
        const QStringList latest = {R"(plant/3 {"address":3,"actual":2})", "plant/3/state silent",
                                    "plant/status online"};
        for (const char* start : {"first start", "restart"}) {
            QVERIFY2(broker.start(), start);
            Subscriber subscriber(broker, kPrefix);
            QVERIFY2(subscriber.subscribed(), start);
            QTRY_COMPARE_WITH_TIMEOUT(sorted(subscriber.messages()), latest, kWaitMs);
            broker.stop();
        }
        elapsed.restart();
        publisher.stop();
        QCOMPARE_LT(elapsed.elapsed(), 500);
    }
};

QTEST_GUILESS_MAIN(MqttPublisherTest)
#include "tst_mqtt_publisher.moc"
