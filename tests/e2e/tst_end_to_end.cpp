// The whole tool against the simulated board: kxlt-boardsim runs as its own process on a
// pseudo-terminal, the window opens that terminal through the operator's serial code, and the
// test acts only as the operator does, through buttons, boxes and labels.
#include "offscreen_test_main.h"
#include "reply_bytes.h"
#include "window_controls.h"

#include "port/qt_serial_link.h"
#include "ui/main_window.h"
#include "ui/reply_log.h"

#include <QAbstractButton>
#include <QDeadlineTimer>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QRegularExpression>
#include <QSet>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <chrono>
#include <memory>
#include <optional>

using kxlt::port::QtSerialLink;
using kxlt::ui::MainWindow;
using kxlt::ui::ReplyLog;

namespace {

constexpr int kBoardStartMs = 5000;
constexpr int kBoardStopMs = 5000;

const QColor kGreen(0, 192, 0);
const QColor kRed(255, 0, 0);

// Command buffers as they go out on the line, the trailing 0x00 included.
const QByteArray kStartAt1 = QByteArray::fromHex("AAF5011100000010") + '\0';
const QByteArray kGoal3500At1 = QByteArray::fromHex("AAF0010035000034") + '\0';
const QByteArray kSetAddress42 = QByteArray::fromHex("AAFB2A2AD5D500AB") + '\0';
const QByteArray kIdentityQuery = QByteArray::fromHex("AAF9639C639C00AB") + '\0';
const QByteArray kQueryAt42 = QByteArray::fromHex("AAF92AD52AD500AB") + '\0';

// A reply as the window writes it to len1 and the log: 54 hex digits and the computed check.
QString replyLine(const QByteArray& reply)
{
    return QString::fromLatin1((reply + reply.right(1)).toHex().toUpper());
}

// The log line of a simulated board left at its defaults (serial 123456, version 3.0, address 1,
// counters zero), which fills the characters after the type marker with "KX-LT".
QString idleBoardLine()
{
    QByteArray reply = replyBytes({.goal = 0, .actual = 0, .seconds = 0});
    reply.replace(1, 8, "KX-LT   ");
    char check = 0;
    for (int i = 0; i < 26; ++i)
        check = static_cast<char>(check ^ reply[i]);
    reply[26] = check;
    return replyLine(reply);
}

// The address byte of a log line, as two hex digits.
QString lineAddress(const QString& line) { return line.mid(50, 2); }

} // namespace

class EndToEndTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<QTemporaryDir> dir;
    std::unique_ptr<QProcess> board;
    QString recordPath;
    QByteArray boardOutput;
    QString failure;
    std::unique_ptr<QtSerialLink> link;
    std::unique_ptr<MainWindow> window;

    template <typename Control> Control* get(const char* name)
    {
        return control<Control>(*window, name);
    }
    void click(const char* name) { get<QAbstractButton>(name)->click(); }
    void type(const char* box, const QString& text) { get<QLineEdit>(box)->setText(text); }
    QString label(const char* name) { return get<QLabel>(name)->text(); }
    QColor labelColour(const char* name)
    {
        return get<QLabel>(name)->palette().color(QPalette::WindowText);
    }
    ReplyLog* log() { return get<ReplyLog>("Rbox1"); }
    std::size_t lines() { return log()->lineCount(); }
    QStringList logLines()
    {
        return log()->text().split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
    }
    void tick() { QMetaObject::invokeMethod(get<QTimer>("Timer1"), "timeout"); }

    // Starts the simulated board with the given options and builds the window on its port.
    [[nodiscard]] bool startBoard(QStringList options)
    {
        dir = std::make_unique<QTemporaryDir>();
        if (!dir->isValid())
            return fail(QStringLiteral("no temporary directory"));
        recordPath = dir->filePath(QStringLiteral("received.bin"));
        options << QStringLiteral("--trace") << QStringLiteral("--record") << recordPath;
        board = std::make_unique<QProcess>();
        board->start(QStringLiteral(BOARDSIM_PATH), options);
        const QDeadlineTimer deadline(kBoardStartMs);
        while (!board->canReadLine() && board->waitForReadyRead(deadline.remainingTime())) {
        }
        if (!board->canReadLine())
            return fail(QStringLiteral("the board printed no port path: ") +
                        QString::fromLocal8Bit(board->readAllStandardError()));
        const QByteArray portPath = board->readLine().trimmed();
        qputenv("KXLT_COM1", portPath);
        link = std::make_unique<QtSerialLink>();
        window = std::make_unique<MainWindow>(*link);
        return true;
    }

    // Stops the board as a service manager would and expects it to end cleanly.
    [[nodiscard]] bool stopBoard()
    {
        if (!board || board->state() == QProcess::NotRunning)
            return true;
        board->terminate();
        if (!board->waitForFinished(kBoardStopMs)) {
            board->kill();
            board->waitForFinished();
            return fail(QStringLiteral("the board did not end on SIGTERM"));
        }
        boardOutput += board->readAllStandardOutput();
        if (board->exitStatus() != QProcess::NormalExit || board->exitCode() != 0)
            return fail(QStringLiteral("the board ended with status %1: %2")
                            .arg(board->exitCode())
                            .arg(QString::fromLocal8Bit(board->readAllStandardError())));
        return true;
    }

    bool fail(const QString& reason)
    {
        failure = reason;
        return false;
    }

    // Opens the port and waits until the line has been quiet, as it is long before an operator's
    // first click: only then does the window trust the first byte to begin a reply.
    [[nodiscard]] bool openPort()
    {
        QSignalSpy quiet(link.get(), &QtSerialLink::lineQuiet);
        click("Command5");
        if (!link->portOpen())
            return fail(get<QAbstractButton>("Command5")->toolTip());
        return quiet.wait(1000) || fail(QStringLiteral("the line never went quiet"));
    }

    // Clicks Information; gives how many message boxes it raised (each one answered).
    int clickInformation()
    {
        MessageBoxCatcher boxes;
        boxes.arm();
        click("Cmd_info");
        return boxes.seen;
    }

    // Starts the automatic test as the operator does. Its own ticks would come at the timer's
    // pace; the test sends each one itself, so the timer is moved far away.
    [[nodiscard]] bool startAutomaticTest()
    {
        click("Command7");
        auto* timer = get<QTimer>("Timer1");
        if (!timer->isActive())
            return fail(QStringLiteral("Start test left the test timer stopped"));
        timer->setInterval(std::chrono::hours(1));
        return true;
    }

    // Asks the board for its state with Information and waits for the answer to be shown.
    [[nodiscard]] std::optional<QString> queryActual()
    {
        const std::size_t before = lines();
        if (clickInformation() != 0)
            return std::nullopt;
        if (!QTest::qWaitFor([&] { return lines() > before; }))
            return std::nullopt;
        return label("Dis_real");
    }

    // The actual count shown after a query, or a text saying why there is none.
    QString queriedActual() { return queryActual().value_or(QStringLiteral("(no reply)")); }

    QByteArray recorded()
    {
        QFile file(recordPath);
        if (!file.open(QIODevice::ReadOnly))
            return {};
        return file.readAll();
    }

private slots:
    void init() { failure.clear(); }

    void cleanup()
    {
        if (window)
            window->close();
        window.reset();
        link.reset();
        qunsetenv("KXLT_COM1");
        if (board && QTest::currentTestFailed()) {
            boardOutput += board->readAllStandardOutput();
            qInfo("board trace:\n%s", boardOutput.constData());
        }
        const bool stopped = stopBoard();
        board.reset();
        dir.reset();
        boardOutput.clear();
        QVERIFY2(stopped, qPrintable(failure));
    }

    void informationIdentifiesTheBoard_data()
    {
        QTest::addColumn<QStringList>("options");
        QTest::addColumn<QString>("serial");
        QTest::addColumn<QString>("version");
        QTest::addColumn<QString>("address");
        QTest::newRow("serial 654321, version 2.5 at 1")
            << QStringList{"--serial", "654321", "--version", "2.5"} << "654321"
            << "2.5"
            << "1H";
    }
    void informationIdentifiesTheBoard()
    {
        QFETCH(QStringList, options);
        QFETCH(QString, serial);
        QFETCH(QString, version);
        QFETCH(QString, address);
        QVERIFY2(startBoard(options), qPrintable(failure));
        QVERIFY2(openPort(), qPrintable(failure));
        QCOMPARE(clickInformation(), 0);
        QTRY_COMPARE(label("DS_type"), QStringLiteral("KX-LT"));
        QCOMPARE(labelColour("DS_type"), kGreen);
        QTRY_COMPARE(label("Dis_serial"), serial);
        QCOMPARE(label("Dis_version"), version);
        QCOMPARE(label("DS_address"), address);
        QCOMPARE(lines(), std::size_t(1));
        QCOMPARE(get<QLineEdit>("Txt_send1")->text(), QStringLiteral("AA F9 63 9C 63 9C 00 AB "));
    }

    void goalAndActualShowWithDifferenceAndEfficiency_data()
    {
        QTest::addColumn<QString>("goal");
        QTest::addColumn<QString>("actual");
        QTest::addColumn<QString>("goalShown");
        QTest::addColumn<QString>("actualShown");
        QTest::addColumn<QString>("difference");
        QTest::addColumn<QString>("efficiency");
        QTest::newRow("2000 of 3500") << "3500"
                                      << "2000"
                                      << "003500"
                                      << "002000"
                                      << "-1500"
                                      << "57.1428571428571";
    }
    void goalAndActualShowWithDifferenceAndEfficiency()
    {
        QFETCH(QString, goal);
        QFETCH(QString, actual);
        QFETCH(QString, goalShown);
        QFETCH(QString, actualShown);
        QFETCH(QString, difference);
        QFETCH(QString, efficiency);
        QVERIFY2(startBoard({}), qPrintable(failure));
        QVERIFY2(openPort(), qPrintable(failure));
        type("Set_target", goal);
        click("Cmd_target");
        type("Set_real", actual);
        click("Cmd_real");
        QCOMPARE(clickInformation(), 0);
        QTRY_COMPARE(lines(), std::size_t(1));
        QCOMPARE(label("Dis_plan"), goalShown);
        QCOMPARE(label("Dis_real"), actualShown);
        QCOMPARE(label("Dis_diff"), difference);
        QCOMPARE(label("Dis_bidata"), efficiency);
    }

    void startCountsStopHoldsClearZeroes()
    {
        QVERIFY2(startBoard({"--step-ms", "50"}), qPrintable(failure));
        QVERIFY2(openPort(), qPrintable(failure));
        QCOMPARE(queriedActual(), QStringLiteral("000000"));

        click("Cmd_start");
        QString counted;
        const bool rose = QTest::qWaitFor([&] {
            const auto actual = queryActual();
            counted = actual.value_or(QString());
            return actual && actual->toInt() > 0;
        });
        QVERIFY2(rose, qPrintable("the actual count stayed at " + counted));

        click("Cmd_stop");
        const QString held = queriedActual();
        QVERIFY2(held.toInt() >= counted.toInt(), qPrintable(held + " after " + counted));
        // Four counting steps at least would pass meanwhile on a running board.
        QTest::qWait(200);
        QCOMPARE(queriedActual(), held);

        click("Cmd_clear");
        QCOMPARE(queriedActual(), QStringLiteral("000000"));
        QCOMPARE(label("Dis_div"), QStringLiteral("0000"));
    }

    void automaticTestFollowsTheNewAddress()
    {
        QVERIFY2(startBoard({}), qPrintable(failure));
        QVERIFY2(openPort(), qPrintable(failure));
        type("Txt_address1", QStringLiteral("42"));
        click("Cmd_address");
        QVERIFY2(startAutomaticTest(), qPrintable(failure));
        for (std::size_t tickCount = 1; tickCount <= 3; ++tickCount) {
            tick();
            QTRY_COMPARE(lines(), tickCount);
            QCOMPARE(label("DS_address"), QStringLiteral("42H"));
            QCOMPARE(labelColour("DS_type"), kGreen);
        }

        // The board left address 01: ticks there go unanswered. A tick at 42 after them shows
        // that the line still works, and its reply must be the very next log line.
        type("Txt_address1", QStringLiteral("01"));
        tick();
        tick();
        type("Txt_address1", QStringLiteral("42"));
        tick();
        QTRY_VERIFY(lines() >= 4);
        const QStringList shown = logLines();
        QCOMPARE(lineAddress(shown.value(3)), QStringLiteral("2A"));
        QCOMPARE(label("DS_address"), QStringLiteral("42H"));
        QCOMPARE(lines(), std::size_t(4));
    }

    void replyWithWrongCheckShowsComErrorThenRecovers()
    {
        QVERIFY2(startBoard({"--bad-check-every", "2"}), qPrintable(failure));
        QVERIFY2(openPort(), qPrintable(failure));
        auto* received = get<QLineEdit>("len1");

        QCOMPARE(clickInformation(), 0);
        QTRY_COMPARE(lines(), std::size_t(1));
        QCOMPARE(received->text(), idleBoardLine());

        QCOMPARE(clickInformation(), 0);
        QTRY_COMPARE(lines(), std::size_t(2));
        QCOMPARE(received->text(), QStringLiteral("Com Error"));

        QCOMPARE(clickInformation(), 0);
        QTRY_COMPARE(lines(), std::size_t(3));
        QCOMPARE(received->text(), idleBoardLine());
        QCOMPARE(label("DS_type"), QStringLiteral("KX-LT"));
        QCOMPARE(labelColour("DS_type"), kGreen);
        QCOMPARE(label("Dis_serial"), QStringLiteral("123456"));
    }

    void blockThatIsNoReplyShowsUnknownPartThenRecovers()
    {
        QVERIFY2(startBoard({"--garbage-every", "2"}), qPrintable(failure));
        QVERIFY2(openPort(), qPrintable(failure));
        QVERIFY2(startAutomaticTest(), qPrintable(failure));

        tick();
        QTRY_COMPARE(label("DS_type"), QStringLiteral("KX-LT"));
        QCOMPARE(get<QLineEdit>("len1")->text(), idleBoardLine());

        tick();
        QTRY_COMPARE(label("DS_type"), QStringLiteral("Unknow Part"));
        QCOMPARE(labelColour("DS_type"), kRed);

        tick();
        QTRY_COMPARE(label("DS_type"), QStringLiteral("KX-LT"));
        QCOMPARE(labelColour("DS_type"), kGreen);
        QTRY_COMPARE(get<QLineEdit>("len1")->text(), idleBoardLine());
        QCOMPARE(label("DS_address"), QStringLiteral("1H"));
    }

    void repliesInPiecesShowOnceEach_data()
    {
        QTest::addColumn<QStringList>("options");
        QTest::addColumn<bool>("backToBack");
        const QStringList fives{"--chunk", "5", "--chunk-gap-ms", "20"};
        const QStringList singles{"--chunk", "1", "--chunk-gap-ms", "5"};
        QTest::newRow("5-byte pieces 20 ms apart, one query at a time") << fives << false;
        QTest::newRow("5-byte pieces 20 ms apart, queries back to back") << fives << true;
        QTest::newRow("single bytes 5 ms apart, one query at a time") << singles << false;
        QTest::newRow("single bytes 5 ms apart, queries back to back") << singles << true;
    }
    void repliesInPiecesShowOnceEach()
    {
        QFETCH(QStringList, options);
        QFETCH(bool, backToBack);
        constexpr std::size_t queries = 3;
        QVERIFY2(startBoard(options), qPrintable(failure));
        QVERIFY2(openPort(), qPrintable(failure));
        QVERIFY2(startAutomaticTest(), qPrintable(failure));
        QSignalSpy changes(log(), &ReplyLog::changed);

        for (std::size_t sent = 1; sent <= queries; ++sent) {
            tick();
            if (!backToBack)
                QTRY_COMPARE(lines(), sent);
        }
        QTRY_COMPARE(lines(), queries);
        // A reply shown twice would show at once with its last piece; give it a moment anyway.
        QTest::qWait(100);
        QCOMPARE(lines(), queries);
        QCOMPARE(changes.count(), int(queries));
        const QStringList shown = logLines();
        QCOMPARE(shown.size(), int(queries));
        for (const QString& line : shown)
            QCOMPARE(line, idleBoardLine());
        QCOMPARE(get<QLineEdit>("len1")->text(), idleBoardLine());
    }

    // A running board at line speed with noise bursts at random moments: every reply that the
    // line was quiet before is shown exactly, and nothing is shown as checked that the board did
    // not send.
    void noisyLineShowsEveryReplyAfterAQuietLine()
    {
        constexpr int queries = 100;
        QVERIFY2(startBoard(
                     {"--baud", "9600", "--noise-every", "300", "--seed", "3", "--step-ms", "50"}),
                 qPrintable(failure));
        QVERIFY2(openPort(), qPrintable(failure));
        click("Cmd_start");
        QVERIFY2(startAutomaticTest(), qPrintable(failure));
        for (int i = 0; i < queries; ++i) {
            tick();
            QTest::qWait(200);
        }
        QTest::qWait(300);
        QVERIFY2(stopBoard(), qPrintable(failure));

        // "tx <27 bytes in hex>  quiet <ms> ms" for every reply the board sent.
        const QRegularExpression sentReply(QStringLiteral("^tx ([0-9A-F ]{80})  quiet (\\d+) ms"));
        QSet<QString> sent;
        QStringList afterQuiet;
        for (const QByteArray& traceLine : boardOutput.split('\n')) {
            const auto match = sentReply.match(QString::fromLatin1(traceLine));
            if (!match.hasMatch())
                continue;
            const QString line = replyLine(QByteArray::fromHex(match.captured(1).toLatin1()));
            sent.insert(line);
            // Beyond the window's quiet time with room for a busy machine's timers.
            if (match.captured(2).toInt() >= 150)
                afterQuiet << line;
        }
        const QStringList shown = logLines();
        QVERIFY2(afterQuiet.size() > queries / 4, qPrintable(QString::number(afterQuiet.size())));
        for (const QString& line : afterQuiet)
            QVERIFY2(shown.contains(line), qPrintable(line));
        const QString zeroLine(56, QLatin1Char('0'));
        for (const QString& line : shown)
            QVERIFY2(sent.contains(line) || line == zeroLine || line == QStringLiteral("Com Error"),
                     qPrintable(line));
        qInfo("%lld replies sent, %lld after a quiet line, all of those and %lld in all shown "
              "exactly",
              qlonglong(sent.size()), qlonglong(afterQuiet.size()),
              qlonglong(std::count_if(shown.begin(), shown.end(),
                                      [&](const QString& line) { return sent.contains(line); })));
    }

    void boardReceivesExactlyWhatTheWindowSent()
    {
        QVERIFY2(startBoard({}), qPrintable(failure));
        QVERIFY2(openPort(), qPrintable(failure));
        click("Cmd_start");
        type("Set_target", QStringLiteral("3500"));
        click("Cmd_target");
        type("Txt_address1", QStringLiteral("42"));
        click("Cmd_address");
        QCOMPARE(clickInformation(), 0);
        QVERIFY2(startAutomaticTest(), qPrintable(failure));
        constexpr std::size_t ticks = 3;
        for (std::size_t i = 0; i < ticks; ++i)
            tick();
        // Information and every tick are answered; the board records before it answers.
        QTRY_COMPARE(lines(), 1 + ticks);
        QCOMPARE(label("Dis_plan"), QStringLiteral("003500"));
        QVERIFY2(stopBoard(), qPrintable(failure));

        const QByteArray expected = kStartAt1 + kStartAt1 + kGoal3500At1 + kGoal3500At1 +
                                    kSetAddress42 + kIdentityQuery + kQueryAt42.repeated(ticks);
        QCOMPARE(recorded().toHex(' '), expected.toHex(' '));
    }
};

KXLT_OFFSCREEN_TEST_MAIN(EndToEndTest)
#include "tst_end_to_end.moc"
