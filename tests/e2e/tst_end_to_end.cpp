// What needs two processes: kxlt-boardsim runs on a pseudo-terminal of its own, the window opens
// that terminal through the operator's serial code, and the test acts as the operator does,
// through buttons, boxes and labels. The window's own rules are proven in tests/ui, the board's
// in tests/boardsim, the frames of every command on a real line through kxltctl (tests/ctl).
#include "board_process.h"
#include "reply_bytes.h"
#include "snapshot.h"
#include "window_fixture.h"

#include "port/qt_serial_link.h"

#include <QRegularExpression>
#include <QSignalSpy>
#include <QTest>

#include <memory>

using kxlt::port::QtSerialLink;

class EndToEndTest : public QObject {
    Q_OBJECT

private:
    BoardProcess board;
    std::unique_ptr<WindowWith<QtSerialLink>> ui;

private slots:
    void cleanup()
    {
        ui.reset();
        const bool stopped = board.stop();
        if (QTest::currentTestFailed())
            qInfo("board trace:\n%s", board.printed().constData());
        QVERIFY(stopped);
    }

    // A board at line speed, CR LF behind every reply as some adapters add it, noise right before
    // every third reply and a byte inserted into every fourth. Each query follows a load of its
    // number as the actual count, so that no reply repeats another; with the seed every byte of
    // every reply is the same from run to run. The window shows every reply once, those behind
    // noise too, and Com Error for every reply with a byte inserted: a reply so damaged passes the
    // check 1 time in 256, and seed 3 is one where that does not happen. Behind noise that does not
    // begin with the marker, the damaged twelfth reply is junk: the zero line.
    void noisyLineShowsEveryReply()
    {
        constexpr int queries = 16;
        const QString device =
            board.start({"--baud", "9600", "--noise-before-every", "3", "--insert-every", "4",
                         "--seed", "3", "--trailer", "0D0A", "--trace"});
        qputenv("KXLT_COM1", device.toLocal8Bit());
        ui = std::make_unique<WindowWith<QtSerialLink>>();
        QSignalSpy quiet(&ui->link, &QtSerialLink::lineQuiet);
        ui->click("Command5");
        // The quiet line that comes before an operator's first click.
        QVERIFY(!device.isEmpty() && ui->link.portOpen() && quiet.wait(1000));
        // The automatic test, whose ticks the test sends itself.
        ui->click("Command7");
        ui->get<QTimer>("Timer1")->setInterval(3600 * 1000);
        QSignalSpy pieces(&ui->link, &QtSerialLink::received);
        QStringList expected;
        for (int i = 1; i <= queries; ++i) {
            ui->type("Set_real", QString::number(i));
            ui->click("Cmd_real");
            ui->tick();
            const auto actual = static_cast<std::uint8_t>(i / 10 * 16 + i % 10);
            const QString reply =
                replyLine(replyBytes({.goal = 0, .actual = actual, .seconds = 0}));
            expected << (i % 12 == 0  ? kZeroLine
                         : i % 4 == 0 ? QStringLiteral("Com Error")
                                      : reply);
            QTRY_COMPARE(ui->logLines().size(), i);
        }
        QTest::qWait(150);
        QCOMPARE(ui->logLines(), expected);
        QVERIFY(board.stop());
        // Its trace tells each frame it received whole (each load twice, then the query), and
        // each reply with its damage, quiet times aside.
        compareWithSnapshot(QStringLiteral("end-to-end-trace.txt"),
                            QString(board.printed())
                                .replace(QRegularExpression("quiet [1-9]\\d* ms"), "quiet N ms"));
        // At line speed the bytes reach the window a few at a time.
        QVERIFY(pieces.count() > 2 * queries);
    }
};

QTEST_MAIN(EndToEndTest)
#include "tst_end_to_end.moc"
