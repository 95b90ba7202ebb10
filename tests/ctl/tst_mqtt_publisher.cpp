// MqttPublisher against Debian's mosquitto broker on a loopback port of its own; what reaches the
// broker is read back with mosquitto_sub.
#include "mqtt_broker.h"

#include "ctl/mqtt_publisher.h"

#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>

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
    // Three boards arrive retained as given with the status online; a state given again
    // unchanged is not sent again, a changed one is; a clean stop sends the rest, then offline,
    // promptly.
    void retainsEachBoardUntilACleanStop()
    {
        Broker broker;
        QVERIFY(broker.start());
        Subscriber live(broker, kPrefix);
        QVERIFY(live.subscribed());
        MqttPublisher publisher(settingsFor(broker));
        publisher.publishReading(1, R"({"address":1,"actual":1234,"goal":4567})");
        publisher.publishReading(2, R"({"address":2,"actual":0,"goal":100})");
        publisher.publishReading(7, R"({"address":7,"actual":null,"goal":9})");
        publisher.publishState(1, true);
        publisher.publishState(2, false);
        publisher.publishState(7, true);
        const QStringList boards = {
            R"(plant/1 {"address":1,"actual":1234,"goal":4567})", "plant/1/state answering",
            R"(plant/2 {"address":2,"actual":0,"goal":100})",     "plant/2/state silent",
            R"(plant/7 {"address":7,"actual":null,"goal":9})",    "plant/7/state answering"};
        QTRY_COMPARE_WITH_TIMEOUT(sorted(live.messages()),
                                  sorted(boards + QStringList{"plant/status online"}), kWaitMs);
        publisher.publishState(1, true);
        publisher.publishState(2, false);
        publisher.publishState(7, true);
        Subscriber meanwhile(broker, kPrefix);
        QVERIFY(meanwhile.subscribed());
        QTRY_COMPARE_WITH_TIMEOUT(meanwhile.retained(),
                                  sorted(boards + QStringList{"plant/status online"}), kWaitMs);

        publisher.publishState(7, false);
        QElapsedTimer stopping;
        stopping.start();
        publisher.stop();
        QCOMPARE_LT(stopping.elapsed(), 1000);
        // Everything the publisher sent was acknowledged by now, so this one comes after it.
        QCOMPARE(QProcess::execute("/usr/bin/mosquitto_pub",
                                   {"-h", "127.0.0.1", "-p", QString::number(broker.port()), "-t",
                                    "plant/end", "-m", "end"}),
                 0);
        QTRY_VERIFY_WITH_TIMEOUT(live.messages().contains("plant/end end"), kWaitMs);
        QCOMPARE(sorted(live.messages()),
                 sorted(boards + QStringList{"plant/status online", "plant/7/state silent",
                                             "plant/status offline", "plant/end end"}));
        QStringList kept = boards;
        kept.replaceInStrings("plant/7/state answering", "plant/7/state silent");
        Subscriber after(broker, kPrefix);
        QVERIFY(after.subscribed());
        QTRY_COMPARE_WITH_TIMEOUT(after.retained(),
                                  sorted(kept + QStringList{"plant/status offline"}), kWaitMs);
    }

    // A publisher killed outright leaves its reading and, by its will, offline.
    void willSaysOfflineWhenThePublisherDies()
    {
        Broker broker;
        QVERIFY(broker.start());
        Subscriber live(broker, kPrefix);
        QVERIFY(live.subscribed());
        QProcess probe;
        probe.start(MQTT_PUBLISH_PROBE_PATH,
                    {QString::number(broker.port()), kPrefix, "5", R"({"address":5})"});
        QTRY_COMPARE_WITH_TIMEOUT(sorted(live.messages()),
                                  QStringList({R"(plant/5 {"address":5})", "plant/status online"}),
                                  kWaitMs);
        probe.kill();
        QVERIFY(probe.waitForFinished(kWaitMs));
        QTRY_COMPARE_WITH_TIMEOUT(live.messages().size(), 3, kWaitMs);
        Subscriber after(broker, kPrefix);
        QVERIFY(after.subscribed());
        QTRY_COMPARE_WITH_TIMEOUT(after.retained(),
                                  QStringList({R"(plant/5 {"address":5})", "plant/status offline"}),
                                  kWaitMs);
    }

    // Readings given while the broker is down: once it is up it gets the latest of them and no
    // other; restarted, having forgotten everything, it gets it again.
    void aBrokerThatComesLaterGetsTheLatest()
    {
        Broker broker;
        MqttPublisher publisher(settingsFor(broker));
        publisher.publishReading(3, R"({"address":3,"actual":1})");
        publisher.publishReading(3, R"({"address":3,"actual":2})");
        publisher.publishState(3, false);
        const QStringList latest = {R"(plant/3 {"address":3,"actual":2})", "plant/3/state silent",
                                    "plant/status online"};
        for (const char* start : {"first start", "restart"}) {
            QVERIFY2(broker.start(), start);
            Subscriber subscriber(broker, kPrefix);
            QVERIFY2(subscriber.subscribed(), start);
            QTRY_COMPARE_WITH_TIMEOUT(sorted(subscriber.messages()), latest, kWaitMs);
            broker.stop();
        }
    }

    // While the broker holds back its acknowledgements, of the readings given meanwhile it gets
    // the one already on its way and then only the latest; a stop waits for it a bounded time,
    // and what the broker gets later says offline all the same.
    void aSlowBrokerGetsTheLatestAndABoundedStop()
    {
        Broker broker;
        QVERIFY(broker.start());
        Subscriber live(broker, kPrefix);
        QVERIFY(live.subscribed());
        MqttPublisher publisher(settingsFor(broker));
        QTRY_COMPARE_WITH_TIMEOUT(live.messages(), QStringList{"plant/status online"}, kWaitMs);
        broker.pause();
        for (int actual = 1; actual <= 10; ++actual) {
            publisher.publishReading(1, "actual " + QByteArray::number(actual));
            QTest::qWait(20);
        }
        broker.resume();
        QTRY_COMPARE_WITH_TIMEOUT(live.messages().last(), "plant/1 actual 10", kWaitMs);
        QCOMPARE_LE(live.messages().size(), 3);

        broker.pause();
        QElapsedTimer stopping;
        stopping.start();
        publisher.stop();
        QCOMPARE_LT(stopping.elapsed(), 3000);
        broker.resume();
        Subscriber after(broker, kPrefix);
        QVERIFY(after.subscribed());
        QTRY_COMPARE_WITH_TIMEOUT(
            after.retained(), QStringList({"plant/1 actual 10", "plant/status offline"}), kWaitMs);
    }

    // Without a broker nothing waits: not the calls, not the stop.
    void stopsAtOnceWithoutABroker()
    {
        Broker broker;
        QElapsedTimer elapsed;
        elapsed.start();
        MqttPublisher publisher(settingsFor(broker));
        publisher.publishReading(4, R"({"address":4})");
        publisher.publishState(4, true);
        publisher.stop();
        QCOMPARE_LT(elapsed.elapsed(), 500);
    }
};

QTEST_GUILESS_MAIN(MqttPublisherTest)
#include "tst_mqtt_publisher.moc"
