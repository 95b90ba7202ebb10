// Which device each COM number opens, and what the link asks of the serial port it opens.
#include "pseudo_terminal.h"

#include "port/open_failure.h"
#include "port/port_mapping.h"
#include "port/qt_serial_link.h"

#include <QDir>
#include <QFile>
#include <QSerialPort>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <array>
#include <memory>
#include <tuple>

#include <unistd.h>

using namespace kxlt::port;

class PortTest : public QObject {
    Q_OBJECT

    QTemporaryDir workingDirectory;
    // A pseudo-terminal behind COM1 and a link on the board's line, not yet open.
    std::unique_ptr<boardsim::PseudoTerminal> line;
    std::unique_ptr<QtSerialLink> link;
    QSerialPort* port = nullptr;

    QString device() const { return QString::fromStdString(line->slavePath()); }
    // A few bytes from the board's side, which the pseudo-terminal takes at once.
    void send(const QByteArray& bytes)
    {
        QCOMPARE(::write(line->master(), bytes.constData(), size_t(bytes.size())),
                 ssize_t(bytes.size()));
    }
    [[nodiscard]] bool open()
    {
        link->setPortOpen(true);
        return link->portOpen();
    }

private slots:
    // The working directory holds a device "tty", links "board" and "b\xff\xfe" to it and
    // "devices" to the directory itself.
    void initTestCase()
    {
        QVERIFY(QDir::setCurrent(workingDirectory.path()));
        QVERIFY(QFile("tty").open(QIODevice::WriteOnly));
        for (const auto& [name, target] :
             {std::pair{"board", "tty"}, {"b\xff\xfe", "tty"}, {"devices", "."}})
            QCOMPARE(::symlink(target, name), 0);
    }
    void cleanupTestCase() { ::unlink("b\xff\xfe"); } // which QTemporaryDir cannot remove
    void init()
    {
        for (int n = 1; n <= kPortCount; ++n)
            qunsetenv(qPrintable(QStringLiteral("KXLT_COM%1").arg(n)));
        link.reset();
        line = std::make_unique<boardsim::PseudoTerminal>();
        qputenv("KXLT_COM1", line->slavePath().c_str());
        link = std::make_unique<QtSerialLink>(); // without flow control unless asked
        link->setSettings(kBoardLineSettings);
        port = link->findChild<QSerialPort*>();
        QVERIFY(port);
    }

    // The system's devices under /dev, an override in KXLT_COM2, and the devices COM1..COM5 open:
    // "./" for the working directory, "-" where a COM number has no device.
    void comNumbersOpenTheSystemsDevices()
    {
        qunsetenv("KXLT_COM1");
        const QString here = QDir::currentPath() + '/';
        const std::tuple<const char*, const char*, const char*> table[] = {
            // Adapters, then the others, numbers as numbers.
            {"ttyS1 ttyUSB10 ttyS0 ttyACM0 ttyUSB9", "", "ttyACM0 ttyUSB9 ttyUSB10 ttyS0 ttyS1"},
            // The adapter is COM1, the next device COM2, none beyond.
            {"ttyS0 ttyUSB0", "", "ttyUSB0 ttyS0 - - -"},
            // An override takes its own number, under the real name of a relative link, of a
            // link whose name is not UTF-8, of a linked directory.
            {"ttyS0 ttyUSB0", "board", "ttyUSB0 ./tty - - -"},
            {"ttyUSB0", "b\xff\xfe", "ttyUSB0 ./tty - - -"},
            {"ttyUSB0", "devices/tty", "ttyUSB0 ./tty - - -"},
        };
        for (const auto& [system, com2, opened] : table) {
            std::vector<std::string> devices;
            for (const QString& name : QString(system).split(' '))
                devices.push_back("/dev/" + name.toStdString());
            qputenv("KXLT_COM2", com2);
            QStringList names;
            for (const std::optional<QString>& device : comPortDevices(devices))
                names << (device ? QString(*device).replace(here, "./").remove("/dev/") : "-");
            QCOMPARE(com2 + (": " + names.join(' ')), com2 + (": " + QString(opened)));
        }
    }

    // The settings are read from what the link asked of its port; stop bits and flow control
    // as the port numbers them. A device named for an earlier open is forgotten when a COM
    // number is chosen.
    void portIsAskedForTheSettingsGiven()
    {
        link->setDevice(QStringLiteral("/nowhere"));
        link->setCommPort(1);
        using Q = QSerialPort;
        using H = Handshaking;
        const std::tuple<LineSettings, H, std::array<int, 5>> table[] = {
            {kBoardLineSettings, H::None, {9600, Q::NoParity, 8, Q::OneStop, Q::NoFlowControl}},
            {{4800, Parity::Even, 7, StopBits::Two}, H::XonXoff, {4800, Q::EvenParity, 7, 2, 2}},
            {{19200, Parity::Odd, 6, StopBits::One}, H::RtsCts, {19200, Q::OddParity, 6, 1, 1}},
            {{9600, Parity::Mark, 8, StopBits::One}, {}, {9600, Q::MarkParity, 8, 1, 0}},
            {{9600, Parity::Space, 8, StopBits::One}, {}, {9600, Q::SpaceParity, 8, 1, 0}},
            {{9600, {}, 8, StopBits::OneAndHalf}, {}, {9600, 0, 8, Q::OneAndHalfStop, 0}},
        };
        for (const auto& [settings, handshaking, asked] : table) {
            link->setSettings(settings);
            link->setHandshaking(handshaking);
            QVERIFY(open());
            const std::array<int, 5> seen{port->baudRate(), port->parity(), port->dataBits(),
                                          port->stopBits(), port->flowControl()};
            QCOMPARE(seen, asked);
            link->setPortOpen(false);
        }
    }

    // A pseudo-terminal has no DTR line: each attempt to set it shows as a refusal.
    void dtrSettingReachesThePortNowAndOnTheNextOpen()
    {
        QSignalSpy errors(port, &QSerialPort::errorOccurred);
        const QList<QVariant> refused{QVariant::fromValue(QSerialPort::UnsupportedOperationError)};
        QVERIFY(open());
        QVERIFY2(!errors.contains(refused), "never set: the open leaves DTR alone");
        link->setDTREnable(false);
        QVERIFY2(errors.contains(refused), "set while open");
        link->setPortOpen(false);
        errors.clear();
        link->setDTREnable(false);
        QVERIFY(open());
        QVERIFY2(errors.contains(refused), "set while closed: applied by the next open");
    }

    // An adapter unplugged, a failed read or write lose the device; a refused DTR keeps it.
    void errorsThatLoseTheDevice()
    {
        const QString gone = "the device is gone (unplugged, or the adapter stopped).";
        const std::pair<QSerialPort::SerialPortError, QString> table[] = {
            {QSerialPort::ResourceError, "closed, lost: " + gone},
            {QSerialPort::ReadError, "closed, lost: " + gone},
            {QSerialPort::WriteError, "closed, lost: writing to the device failed."},
            {QSerialPort::UnsupportedOperationError, "open"},
        };
        for (const auto& [error, outcome] : table) {
            QVERIFY(open());
            QSignalSpy lost(link.get(), &SerialLink::portLost);
            emit port->errorOccurred(error);
            QString seen = link->portOpen() ? "open" : "closed";
            for (const QList<QVariant>& signal : lost)
                seen += ", lost: " + signal[0].toString();
            QCOMPARE(seen, outcome);
        }
    }

    // A reply trickles in over 28 ms at line speed, an adapter hands bytes over in chunks up to
    // 16 ms apart, a slow one a byte every 50 ms: the line is quiet only after the last byte.
    void openDiscardsWaitingBytesAndTheLineIsQuietAfterTheLastByte()
    {
        for (const int gapMs : {1, 16, 50}) {
            init();
            QByteArray received;
            connect(link.get(), &SerialLink::received, this,
                    [&](auto bytes) { received += bytes; });
            QSignalSpy quiet(link.get(), &SerialLink::lineQuiet);
            send("stale");
            QVERIFY(open());
            QVERIFY(quiet.wait());
            quiet.clear();
            for (const char byte : QByteArray("reply")) {
                send(QByteArray(1, byte));
                QTest::qWait(gapMs);
            }
            QCOMPARE(quiet.count(), 0);
            QVERIFY(quiet.wait());
            QCOMPARE(received, "reply");
            send("y");
            QTRY_COMPARE(received, "replyy");
            link->setPortOpen(false);
            QVERIFY(!quiet.wait(3 * int(kQuietTime.count())));
        }
    }

    // Another program holding the device, then the device going away while open and coming back.
    void deviceHeldElsewhereThenGone()
    {
        auto other = std::make_unique<QSerialPort>(device());
        QVERIFY(other->open(QIODevice::ReadWrite));
        QVERIFY(!open());
        QVERIFY(link->openFailure().startsWith(device() + " is busy: another program"));
        other.reset();
        QVERIFY(open());
        QCOMPARE(link->openFailure(), QString());
        QSignalSpy lost(link.get(), &SerialLink::portLost);
        line.reset(); // the adapter is pulled
        QVERIFY(lost.wait());
        QVERIFY(lost.first().first().toString().startsWith("the device is gone"));
        QVERIFY(!link->portOpen());
        line = std::make_unique<boardsim::PseudoTerminal>(); // and plugged in again
        qputenv("KXLT_COM1", line->slavePath().c_str());
        QVERIFY(open());
    }

    void openFailuresSayWhatToDo()
    {
        const std::tuple<const char*, QSerialPort::SerialPortError, const char*> table[] = {
            // Refused, yet the user may open it: busy.
            {"/dev/null", QSerialPort::PermissionError,
             "/dev/null is busy: another program holds it. Close that program and press Open "
             "port again."},
            // Refused, and the user may not open it: the group.
            {"/nowhere", QSerialPort::PermissionError,
             "/nowhere did not open: permission denied. Add your user to the group that owns "
             "the device, usually dialout, and log in again."},
            {"/nowhere", QSerialPort::DeviceNotFoundError,
             "/nowhere did not open: no such device. Is the adapter plugged in?"},
            // Anything else: the system's words.
            {"/nowhere", QSerialPort::OpenError, "/nowhere did not open: it broke."},
        };
        for (const auto& [device, error, text] : table)
            QCOMPARE(openFailureText(device, error, QStringLiteral("it broke")), QString(text));
    }
};

QTEST_GUILESS_MAIN(PortTest)
#include "tst_port.moc"
