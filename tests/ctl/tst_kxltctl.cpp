// kxltctl run as a script runs it, against kxlt-boardsim on a pseudo-terminal, both as processes.
#include "board_process.h"
#include "mqtt_broker.h"

#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <tuple>

namespace {

constexpr int kProcessMs = 10000;

struct Run {
    int exitCode = -1;
    QString out, err;
};

} // namespace

class CtlTest : public QObject {
    Q_OBJECT

private:
    BoardProcess board;
    QString device;

    // Starts the simulated board with options separated by blanks.
    [[nodiscard]] bool startBoard(const QString& options)
    {
        device = board.start(options.split(' ', Qt::SkipEmptyParts));
        return !device.isEmpty();
    }
    // Runs kxltctl on the board's port with arguments separated by blanks; ">FILE" at the end
    // sends its output there.
    Run ctl(const QString& arguments)
    {
        QProcess process;
        start(process, arguments);
        return finish(process);
    }
    void start(QProcess& process, const QString& arguments)
    {
        QStringList words = arguments.split(' ', Qt::SkipEmptyParts);
        if (!words.isEmpty() && words.last().startsWith('>'))
            process.setStandardOutputFile(words.takeLast().mid(1));
        process.start(KXLTCTL_PATH, QStringList{"--port", device} + words);
    }
    static Run finish(QProcess& process)
    {
        if (!process.waitForFinished(kProcessMs))
            process.kill();
        return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
                QString::fromUtf8(process.readAllStandardOutput()),
                QString::fromUtf8(process.readAllStandardError())};
    }

private slots:
    void cleanup() { QVERIFY(board.stop()); }

    // Commands one after another, each a process: the board takes the values and the new address
    // it was sent; status at the new address and info then print the same figures.
    void commandsReachTheBoard()
    {
        QVERIFY(startBoard("--serial 654321 --version 2.5 --address 5"));
        const QString commands =
            "--address 5 start; --address 5 stop; --address 5 clear; --address 5 goal 4567 "
            "--verify; --address 5 actual 1234 --verify; --address 5 increment 3; set-address 42 "
            "--verify; --address 42 status; info";
        QStringList printed;
        for (const QString& command : commands.split("; ")) {
            const Run run = ctl(command);
            QVERIFY2(run.exitCode == 0, qPrintable(command + ": " + run.err));
            printed << run.out;
        }
        // Goal 4567, actual 1234, serial 654321, version 2.5, address 42: what is printed of a
        // reply is proven on the fake line.
        QCOMPARE(printed[8], printed[7]);
        QVERIFY(printed[7].endsWith("544B582D4C54202020004567000012340000000000654321252A5E5E\n"));
        const QByteArray sent = QByteArray::fromHex(
            "AAF5051100000014 00 AAF5051100000014 00 AAF5052200000027 00 AAF5052200000027 00 "
            "AAF5053300000036 00 AAF5053300000036 00 AAF0050045670027 00 AAF0050045670027 00 "
            "AAF905FA05FA00AB 00 AAF1050012340023 00 AAF1050012340023 00 AAF905FA05FA00AB 00 "
            "AAF2050000030006 00 AAF2050000030006 00 AAFB2A2AD5D500AB 00 AAF92AD52AD500AB 00 "
            "AAF92AD52AD500AB 00 AAF9639C639C00AB 00");
        QVERIFY(board.stop()); // all it received is in the record
        QCOMPARE(board.received().toHex(' '), sent.toHex(' '));
    }

    // A line of boards 1, 2 and 12, watched at 1-3,12: each round a row for every board and a null
    // answer for the silent address, in the order asked; the broker keeps each board's latest row,
    // its state and kxltctl's status.
    void watchPollsALineOfBoardsIntoTheBroker()
    {
        Broker broker;
        QVERIFY(broker.start());
        QVERIFY(startBoard("--address 1,2,12"));
        const Run run = ctl(QStringLiteral("--timeout 200 watch --address 1-3,12 --count 2 --json "
                                           "--mqtt 127.0.0.1:%1 --topic plant/line1")
                                .arg(broker.port()));
        QCOMPARE(run.exitCode, 1);
        QStringList asked, latest(13);
        for (const QString& line : run.out.split('\n', Qt::SkipEmptyParts)) {
            const QJsonObject row = QJsonDocument::fromJson(line.toUtf8()).object();
            const int address = row["address"].toInt(-1);
            asked << QString::number(address) + (row.contains("answer") ? "-" : "");
            latest[address] = line;
        }
        QCOMPARE(asked.join(' '), QStringLiteral("1 2 3- 12 1 2 3- 12"));
        QCOMPARE(run.err.count("no answer from address 3"), 2);
        Subscriber retained(broker, "plant/line1");
        QVERIFY(retained.subscribed());
        QStringList expected{"plant/line1/3/state silent", "plant/line1/status offline"};
        for (const int address : {1, 2, 12})
            expected << QStringLiteral("plant/line1/%1 %2").arg(address).arg(latest[address])
                     << QStringLiteral("plant/line1/%1/state answering").arg(address);
        expected.sort();
        QTRY_COMPARE(retained.retained(), expected);
    }

    // Killed outright, the watch leaves offline by its will. A broker that comes later is the
    // publisher's own test.
    void aKilledWatchLeavesOfflineByItsWill()
    {
        Broker broker;
        QVERIFY(broker.start());
        QVERIFY(startBoard(""));
        Subscriber live(broker, "kxlt");
        QVERIFY(live.subscribed());
        QProcess process;
        start(process,
              QStringLiteral("--interval 100 watch --mqtt 127.0.0.1:%1").arg(broker.port()));
        QTRY_VERIFY_WITH_TIMEOUT(live.messages().contains("kxlt/1/state answering"), 10000);
        QVERIFY(live.messages().contains("kxlt/status online"));
        process.kill();
        QVERIFY(process.waitForFinished());
        QTRY_COMPARE_WITH_TIMEOUT(live.messages().last(), "kxlt/status offline", 5000);
        Subscriber later(broker, "kxlt");
        QVERIFY(later.subscribed());
        QTRY_VERIFY(later.retained().contains("kxlt/status offline"));
    }

    // The board's adapter is pulled and comes back, under a new device behind the same path: the
    // watch goes on with the new board.
    void watchRidesOutAReplug()
    {
        QTemporaryDir dir;
        const QString link = dir.filePath("board");
        QVERIFY(QFile::link(dir.filePath("gone"), link)); // left dangling by a crashed board
        QVERIFY(startBoard("--serial 111111 --hangup-after 1.1 --link " + link));
        device = link;
        QProcess process;
        start(process, "--reconnect --interval 100 --count 10 watch --csv");
        QByteArray said;
        QTRY_VERIFY2_WITH_TIMEOUT(
            (said += process.readAllStandardError()).contains("again every second"),
            said.constData(), 10000);
        QVERIFY(said.contains("the port was closed: the device is gone"));
        QVERIFY(board.stop());
        QVERIFY(!QFileInfo(link).isSymLink()); // the board took its link away
        QVERIFY(startBoard("--serial 222222 --link " + link));
        const Run run = finish(process);
        QCOMPARE(run.exitCode, 0);
        QVERIFY(run.err.contains("the port is open again"));
        QVERIFY2(run.out.contains(",111111,") && run.out.contains(",222222,"), qPrintable(run.out));
        QCOMPARE(run.out.count('\n'), 11);
    }

    // Against a board started with the options before the bar; bad input goes nowhere near the
    // line.
    void exitStatusSaysWhatWentWrong()
    {
        const std::tuple<const char*, int, const char*> table[] = {
            {"--silent | --timeout 300 status", 1, "no answer within 300 ms"},
            {"| status >/dev/full", 74, "could not be written"},
            {"| watch --interval 50 >/dev/full", 74, "could not be written"},
            {"--bad-check-every 1 | status", 2, "failed its check"},
            {"--garbage-every 1 | --timeout 300 status", 2, "no reply"},
            {"| --port /nonexistent/tty status", 3, "/nonexistent/tty"},
            {"| goal ABC --verify", 4, "goal 000000, not 000ABC"},
            {"| --address 256 start", 64, "from 0 to 255. (see --help)"},
            {"| --help >/dev/full", 74, "could not be written"},
            {"| --help", 0, ""},
        };
        for (const auto& [run, exitCode, reason] : table) {
            QVERIFY(startBoard(QString(run).section('|', 0, 0)));
            const Run ran = ctl(QString(run).section('|', 1).trimmed());
            QVERIFY2(ran.exitCode == exitCode && ran.err.contains(reason),
                     qPrintable(run + (": " + ran.err)));
            QVERIFY(board.stop());
            if (exitCode == 64)
                QCOMPARE(board.received().toHex(' '), QByteArray());
        }
    }
};

QTEST_GUILESS_MAIN(CtlTest)
#include "tst_kxltctl.moc"
