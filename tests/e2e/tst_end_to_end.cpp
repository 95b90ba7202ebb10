// What needs two processes: kxlt-boardsim runs on a pseudo-terminal of its own, the window opens
// that terminal through the operator's serial code, and the test acts as the operator does,
// through buttons, boxes and labels. The window's own rules are proven in tests/ui, the board's
// in tests/boardsim.
#include "offscreen_test_main.h"
#include "reply_bytes.h"
#include "window_controls.h"

#include "port/qt_serial_link.h"
#include "ui/main_window.h"
#include "ui/reply_log.h"

#include <QAbstractButton>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

using kxlt::port::QtSerialLink;
using kxlt::ui::ReplyLog;

namespace {

// A reply as the window writes it to len1 and the log: 54 hex digits and the computed check.
QString replyLine(const QByteArray& reply)
{
    return QString::fromLatin1((reply + reply.right(1)).toHex().toUpper());
}

// Says why a step failed; always false.
bool fail(const QString& reason)
{
    qWarning("%s", qPrintable(reason));
    return false;
}

} // namespace

class EndToEndTest : public QObject {
    Q_OBJECT

private:
    QTemporaryDir dir;
    std::unique_ptr<QProcess> board;
    QByteArray boardTrace;
    std::unique_ptr<QtSerialLink> link;
    std::unique_ptr<kxlt::ui::MainWindow> window;

    template <typename C> C* get(const char* name) { return control<C>(*window, name); }
    void click(const char* name) { get<QAbstractButton>(name)->click(); }
    void enter(const char* box, const QString& text, const char* button)
    {
        get<QLineEdit>(box)->setText(text);
        click(button);
    }
    QString label(const char* name) { return get<QLabel>(name)->text(); }
    ReplyLog* log() { return get<ReplyLog>("Rbox1"); }
    std::size_t lines() { return log()->lineCount(); }
    QStringList logLines() { return log()->text().split("\r\n", Qt::SkipEmptyParts); }
    void tick() { QMetaObject::invokeMethod(get<QTimer>("Timer1"), "timeout"); }
    // What the board received, one file for each test.
    QString recordPath() const { return dir.filePath(QTest::currentTestFunction()); }

    // Starts the board with the given options, builds the window on its port, opens the port and
    // waits for the quiet line that comes before an operator's first click.
    [[nodiscard]] bool startBoardAndOpenPort(QStringList options)
    {
        board = std::make_unique<QProcess>();
        board->start(BOARDSIM_PATH, options + QStringList{"--trace", "--record", recordPath()});
        if (!board->waitForReadyRead(5000) || !board->canReadLine())
            return fail("the board printed no port path: " + board->readAllStandardError());
        qputenv("KXLT_COM1", board->readLine().trimmed());
        link = std::make_unique<QtSerialLink>();
        window = std::make_unique<kxlt::ui::MainWindow>(*link);
        QSignalSpy quiet(link.get(), &QtSerialLink::lineQuiet);
        click("Command5");
        if (!link->portOpen())
            return fail(get<QAbstractButton>("Command5")->toolTip());
        return quiet.wait(1000) || fail(QStringLiteral("the line never went quiet"));
    }

    // Stops the board as a service manager would; it must end cleanly.
    [[nodiscard]] bool stopBoard()
    {
        if (!board || board->state() == QProcess::NotRunning)
            return true;
        board->terminate();
        const bool ended = board->waitForFinished(5000);
        boardTrace += board->readAllStandardOutput();
        if (ended && board->exitStatus() == QProcess::NormalExit && board->exitCode() == 0)
            return true;
        board->kill();
        board->waitForFinished();
        return fail("the board did not end cleanly on SIGTERM: " + board->readAllStandardError());
    }

    // Starts the automatic test; the test sends each tick itself, so the timer is moved away.
    [[nodiscard]] bool startAutomaticTest()
    {
        click("Command7");
        auto* timer = get<QTimer>("Timer1");
        timer->setInterval(3600 * 1000);
        return timer->isActive() || fail(QStringLiteral("Start test left the test timer stopped"));
    }

    // Clicks Information and waits for its answer in the log; a message box fails it.
    [[nodiscard]] bool queryInformation()
    {
        const std::size_t before = lines();
        MessageBoxCatcher boxes;
        boxes.arm();
        click("Cmd_info");
        if (boxes.seen == 0 && QTest::qWaitFor([&] { return lines() > before; }))
            return true;
        return fail("Information went unanswered; a box said: " + boxes.text);
    }

private slots:
    void cleanup()
    {
        window.reset();
        link.reset();
        const bool stopped = stopBoard();
        if (QTest::currentTestFailed())
            qInfo("board trace:\n%s", boardTrace.constData());
        board.reset();
        boardTrace.clear();
        QVERIFY(stopped);
    }

    // Loads, a run and a stop, then clear and set address with queries at the new address: the
    // board receives exactly what the window sent, and reports figures that agree with each other.
    void boardReceivesExactlyWhatTheWindowSent()
    {
        QVERIFY(startBoardAndOpenPort({"--step-ms", "20"}));
        enter("Set_target", QStringLiteral("3500"), "Cmd_target");
        enter("Set_real", QStringLiteral("2000"), "Cmd_real");
        enter("Set_add", QStringLiteral("7"), "Cmd_add");
        click("Cmd_start");
        int asked = 0;
        QVERIFY(QTest::qWaitFor([&] {
            ++asked;
            return queryInformation() && label("Dis_real") > QStringLiteral("002000");
        }));
        click("Cmd_stop");
        QVERIFY(queryInformation());
        const int actual = label("Dis_real").toInt();
        QCOMPARE((actual - 2000) % 7, 0);
        QCOMPARE(label("Dis_plan"), QStringLiteral("003500"));
        QCOMPARE(label("Dis_diff"), QString::number(actual - 3500));
        QCOMPARE(label("Dis_bidata").toDouble(), actual * 100.0 / 3500);

        click("Cmd_clear");
        enter("Txt_address1", QStringLiteral("42"), "Cmd_address");
        QVERIFY(startAutomaticTest());
        for (int i = 0; i < 3; ++i)
            tick();
        // Every query is answered; the board records before it answers.
        QTRY_COMPARE(lines(), std::size_t(asked + 4));
        QCOMPARE(label("DS_address") + ' ' + label("Dis_real"), QStringLiteral("42H 000000"));
        QVERIFY(stopBoard());

        QFile record(recordPath());
        QVERIFY(record.open(QIODevice::ReadOnly));
        const auto twice = [](const char* frame) { return QByteArray::fromHex(frame).repeated(2); };
        const QByteArray identityQuery = QByteArray::fromHex("AAF9639C639C00AB 00");
        const QByteArray expected = twice("AAF0010035000034 00") + twice("AAF1010020000021 00") +
                                    twice("AAF2010000070006 00") + twice("AAF5011100000010 00") +
                                    identityQuery.repeated(asked) + twice("AAF5012200000023 00") +
                                    identityQuery + twice("AAF5013300000032 00") +
                                    QByteArray::fromHex("AAFB2A2AD5D500AB 00") +
                                    QByteArray::fromHex("AAF92AD52AD500AB 00").repeated(3);
        QCOMPARE(record.readAll().toHex(' '), expected.toHex(' '));
    }

    // Pieces of 5 bytes, 20 ms apart: three queries back to back, then one more; each reply shows
    // once, and any shown twice would have come before the fourth.
    void repliesInPiecesShowOnceEach()
    {
        QVERIFY(startBoardAndOpenPort({"--chunk", "5", "--chunk-gap-ms", "20"}));
        QVERIFY(startAutomaticTest());
        QSignalSpy pieces(link.get(), &QtSerialLink::received);
        for (int i = 0; i < 3; ++i)
            tick();
        QTRY_COMPARE(lines(), std::size_t(3));
        tick();
        QTRY_COMPARE(lines(), std::size_t(4));
        // A board left at its defaults: serial 123456, version 3.0, address 1, counters zero.
        QCOMPARE(logLines(),
                 QStringList(4, replyLine(replyBytes({.goal = 0, .actual = 0, .seconds = 0}))));
        QVERIFY2(pieces.count() > 8, qPrintable(QString::number(pieces.count())));
    }

    // A running board at line speed with noise bursts at random moments: every reply that the
    // line was quiet before is shown exactly, and nothing is shown as checked that the board did
    // not send.
    void noisyLineShowsEveryReplyAfterAQuietLine()
    {
        constexpr int queries = 100;
        QVERIFY(startBoardAndOpenPort(
            {"--baud", "9600", "--noise-every", "300", "--seed", "3", "--step-ms", "50"}));
        click("Cmd_start");
        QVERIFY(startAutomaticTest());
        QSignalSpy pieces(link.get(), &QtSerialLink::received);
        for (int i = 0; i < queries; ++i) {
            tick();
            QTest::qWait(200);
        }
        QTest::qWait(300);
        QVERIFY(stopBoard());

        // "tx|noise <bytes in hex>  quiet <ms> ms" for everything the board sent.
        const QRegularExpression sentLine(
            QStringLiteral("^(tx|noise) ([0-9A-F ]+)  quiet (\\d+) ms"));
        QStringList sent, afterQuiet;
        int bursts = 0;
        for (const QByteArray& traceLine : boardTrace.split('\n')) {
            const auto match = sentLine.match(QString::fromLatin1(traceLine));
            bursts += match.captured(1) == QLatin1String("noise") ? 1 : 0;
            if (match.captured(1) != QLatin1String("tx"))
                continue;
            const QString line = replyLine(QByteArray::fromHex(match.captured(2).toLatin1()));
            sent << line;
            // Beyond the window's quiet time with room for a busy machine's timers.
            if (match.captured(3).toInt() >= 150)
                afterQuiet << line;
        }
        QVERIFY(afterQuiet.size() > queries / 4 && bursts > queries / 4);
        // At line speed the bytes reach the window a few at a time.
        QVERIFY(pieces.count() > 2 * (sent.size() + bursts));
        const QStringList shown = logLines();
        for (const QString& line : afterQuiet)
            QVERIFY2(shown.contains(line), qPrintable(line));
        for (const QString& line : shown)
            QVERIFY2(sent.contains(line) || line == QString(56, '0') || line == "Com Error",
                     qPrintable(line));
    }
};

KXLT_OFFSCREEN_TEST_MAIN(EndToEndTest)
#include "tst_end_to_end.moc"
