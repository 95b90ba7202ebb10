// kxltctl run as a script runs it, against kxlt-boardsim on a pseudo-terminal, both as processes.
#include <QDateTime>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

namespace {

constexpr int kProcessMs = 10000;

// Command buffers as they go out on the line, the trailing 0x00 included.
QByteArray buffer(const char* frameHex) { return QByteArray::fromHex(frameHex) + '\0'; }

// The time in front of each scan and watch row: ISO 8601 with milliseconds and the offset.
const QString kIsoTime =
    QStringLiteral(R"(\d{4}-\d\d-\d\dT\d\d:\d\d:\d\d\.\d{3}(Z|[+-]\d\d:\d\d))");

struct Run {
    int exitCode = -1;
    QString out;
    QString err;
};

} // namespace

class CtlTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<QTemporaryDir> dir;
    std::unique_ptr<QProcess> board;
    QString device;

    QString recordPath() const { return dir->filePath(QStringLiteral("received.bin")); }

    // Starts the simulated board, which records every byte it receives.
    [[nodiscard]] bool startBoard(const QStringList& options)
    {
        dir = std::make_unique<QTemporaryDir>();
        board = std::make_unique<QProcess>();
        board->start(QStringLiteral(BOARDSIM_PATH),
                     options + QStringList{QStringLiteral("--record"), recordPath()});
        if (!board->waitForReadyRead(kProcessMs))
            return false;
        device = QString::fromLocal8Bit(board->readLine().trimmed());
        return !device.isEmpty();
    }

    // Ends the board, so that all it received is in the record.
    QByteArray stopBoardAndRecord()
    {
        board->terminate();
        board->waitForFinished(kProcessMs);
        QFile record(recordPath());
        return record.open(QIODevice::ReadOnly) ? record.readAll() : QByteArray();
    }

    Run ctl(const QStringList& arguments)
    {
        QProcess process;
        process.start(QStringLiteral(KXLTCTL_PATH),
                      QStringList{QStringLiteral("--port"), device} + arguments);
        if (!process.waitForFinished(kProcessMs))
            process.kill();
        return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
                QString::fromUtf8(process.readAllStandardOutput()),
                QString::fromUtf8(process.readAllStandardError())};
    }

private slots:
    void cleanup()
    {
        if (board && board->state() != QProcess::NotRunning)
            stopBoardAndRecord();
        board.reset();
        dir.reset();
    }

    void sendsWhatTheWindowSends_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QByteArray>("sent");
        const QByteArray start = buffer("AAF5011100000010");
        const QByteArray stop = buffer("AAF5012200000023");
        const QByteArray clear = buffer("AAF5013300000032");
        const QByteArray goal = buffer("AAF0010035000034");
        const QByteArray actual = buffer("AAF1050020000025");
        const QByteArray increment = buffer("AAF2010000070006");
        QTest::newRow("start") << QStringList{"start"} << start + start;
        QTest::newRow("stop") << QStringList{"stop"} << stop + stop;
        QTest::newRow("clear") << QStringList{"clear"} << clear + clear;
        QTest::newRow("goal") << QStringList{"goal", "3500"} << goal + goal;
        QTest::newRow("actual at 5")
            << QStringList{"--address", "5", "actual", "2000"} << actual + actual;
        QTest::newRow("increment") << QStringList{"increment", "7"} << increment + increment;
        QTest::newRow("set-address")
            << QStringList{"set-address", "42"} << buffer("AAFB2A2AD5D500AB");
        QTest::newRow("info") << QStringList{"info"} << buffer("AAF9639C639C00AB");
        QTest::newRow("status") << QStringList{"status"} << buffer("AAF901FE01FE00AB");
    }
    void sendsWhatTheWindowSends()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QByteArray, sent);
        QVERIFY(startBoard({}));
        const Run run = ctl(arguments);
        QVERIFY2(run.exitCode == 0, qPrintable(run.err));
        QCOMPARE(stopBoardAndRecord().toHex(' '), sent.toHex(' '));
    }

    void printsTheFiguresAsTheWindowShowsThem_data()
    {
        QTest::addColumn<QStringList>("boardOptions");
        QTest::addColumn<QList<QStringList>>("setUp");
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QStringList>("shown");
        QTest::newRow("info") << QStringList{"--serial", "654321",    "--version",
                                             "2.5",      "--address", "3"}
                              << QList<QStringList>{} << QStringList{"info"}
                              << QStringList{"part type   KX-LT", "address     3",
                                             "serial      654321", "version     2.5"};
        QTest::newRow("status after verified loads")
            << QStringList{}
            << QList<QStringList>{{"goal", "4567", "--verify"}, {"actual", "1234", "--verify"}}
            << QStringList{"status"}
            << QStringList{"goal        004567", "actual      001234", "difference  -3333",
                           "efficiency  27.0199255528794"};
        QTest::newRow("status at the new address")
            << QStringList{} << QList<QStringList>{{"set-address", "42", "--verify"}}
            << QStringList{"--address", "42", "status"} << QStringList{"address     42"};
    }
    void printsTheFiguresAsTheWindowShowsThem()
    {
        QFETCH(QStringList, boardOptions);
        QFETCH(QList<QStringList>, setUp);
        QFETCH(QStringList, arguments);
        QFETCH(QStringList, shown);
        QVERIFY(startBoard(boardOptions));
        for (const QStringList& step : setUp) {
            const Run run = ctl(step);
            QVERIFY2(run.exitCode == 0, qPrintable(step.join(' ') + ": " + run.err));
        }
        const Run run = ctl(arguments);
        QVERIFY2(run.exitCode == 0, qPrintable(run.err));
        const QStringList lines = run.out.split('\n');
        for (const QString& line : shown)
            QVERIFY2(lines.contains(line), qPrintable(line + " not in:\n" + run.out));
    }

    void scanFindsTheBoardsOnTheLine()
    {
        QVERIFY(startBoard({"--address", "1,2,7"}));
        const Run run = ctl({"--timeout", "150", "--json", "scan", "0-7"});
        QVERIFY2(run.exitCode == 0, qPrintable(run.err));
        QList<int> found;
        for (const QString& line : run.out.split('\n', Qt::SkipEmptyParts))
            found << QJsonDocument::fromJson(line.toUtf8()).object()["address"].toInt(-1);
        QCOMPARE(found, QList<int>({1, 2, 7}));
    }

    void watchPrintsEachReplyAsItComes_data()
    {
        QTest::addColumn<QString>("format");
        QTest::addColumn<QString>("header");
        QTest::addColumn<QString>("row");
        const QString reply = QStringLiteral("[0-9A-F]{56}");
        QTest::newRow("text") << QString() << QStringLiteral("^time +part type +address +goal")
                              << "^" + kIsoTime +
                                     R"( +KX-LT +1 +000000 +000000 +\d{4} +123456 +3\.0 +0 +)" +
                                     reply + "$";
        QTest::newRow("json") << QStringLiteral("--json") << QString()
                              << "^\\{.*\"address\":1,.*\"serial\":\"123456\",\"time\":\"" +
                                     kIsoTime + "\",\"version\":\"3\\.0\"\\}$";
        QTest::newRow("csv") << QStringLiteral("--csv")
                             << QStringLiteral(
                                    "^time,part_type,address,goal,actual,seconds,serial,version,"
                                    "difference,efficiency,reply$")
                             << "^" + kIsoTime + R"(,KX-LT,1,000000,000000,\d{4},123456,3\.0,0,,)" +
                                    reply + "$";
    }
    void watchPrintsEachReplyAsItComes()
    {
        QFETCH(QString, format);
        QFETCH(QString, header);
        QFETCH(QString, row);
        QVERIFY(startBoard({}));
        QStringList arguments{"watch", "--interval", "150", "--count", "3"};
        if (!format.isEmpty())
            arguments << format;
        const Run run = ctl(arguments);
        QVERIFY2(run.exitCode == 0, qPrintable(run.err));
        QStringList lines = run.out.split('\n', Qt::SkipEmptyParts);
        if (!header.isEmpty())
            QVERIFY2(QRegularExpression(header).match(lines.takeFirst()).hasMatch(),
                     qPrintable(run.out));
        QCOMPARE(lines.size(), 3);
        for (const QString& line : lines)
            QVERIFY2(QRegularExpression(row).match(line).hasMatch(), qPrintable(line));
    }

    void exitStatusSaysWhatWentWrong_data()
    {
        QTest::addColumn<QStringList>("boardOptions");
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("reason");
        QTest::addColumn<bool>("nothingSent");
        QTest::newRow("silent board")
            << QStringList{"--silent"} << QStringList{"--timeout", "300", "status"} << 1
            << "no answer within 300 ms" << false;
        QTest::newRow("wrong check") << QStringList{"--bad-check-every", "1"}
                                     << QStringList{"status"} << 2 << "failed its check" << false;
        QTest::newRow("no reply at all")
            << QStringList{"--garbage-every", "1"} << QStringList{"--timeout", "300", "status"} << 2
            << "no reply" << false;
        QTest::newRow("missing device")
            << QStringList{} << QStringList{"--port", "/nonexistent/ttyUSB9", "status"} << 3
            << "/nonexistent/ttyUSB9" << true;
        QTest::newRow("goal the board refuses")
            << QStringList{} << QStringList{"goal", "ABC", "--verify"} << 4
            << "the board reports goal 000000, not 000ABC" << false;
        QTest::newRow("address above 255")
            << QStringList{} << QStringList{"--address", "256", "start"} << 64
            << "The address must be a whole number from 0 to 255." << true;
        QTest::newRow("seven digits") << QStringList{} << QStringList{"goal", "1234567"} << 64
                                      << "A value has at most 6 digits." << true;
        QTest::newRow("verified increment")
            << QStringList{} << QStringList{"increment", "5", "--verify"} << 64
            << "no reply carries the increment" << true;
    }
    void exitStatusSaysWhatWentWrong()
    {
        QFETCH(QStringList, boardOptions);
        QFETCH(QStringList, arguments);
        QFETCH(int, exitCode);
        QFETCH(QString, reason);
        QFETCH(bool, nothingSent);
        QVERIFY(startBoard(boardOptions));
        const Run run = ctl(arguments);
        QCOMPARE(run.exitCode, exitCode);
        QVERIFY2(run.err.contains(reason), qPrintable(run.err));
        if (nothingSent)
            QCOMPARE(stopBoardAndRecord().toHex(' '), QByteArray());
    }
};

QTEST_GUILESS_MAIN(CtlTest)
#include "tst_kxltctl.moc"
