// Faults on the line: the device going away, a line full of noise, a reply that trickles in, and
// the window closing while the automatic test runs and replies arrive.
#include "offscreen_test_main.h"
#include "reply_bytes.h"
#include "window_on_line.h"

#include "ui/reply_log.h"

#include <QElapsedTimer>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QSerialPort>
#include <QSignalSpy>
#include <QTest>

#include <atomic>
#include <memory>
#include <random>
#include <thread>

using kxlt::ui::ReplyLog;

class FaultsTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<WindowOnLine> board;

    template <typename Control> Control* get(const char* name) { return board->get<Control>(name); }
    void click(const char* name) { board->click(name); }
    PseudoTerminal& line() { return *board->line; }
    void openPort()
    {
        QVERIFY2(board->openPort(), qPrintable(get<QPushButton>("Command5")->toolTip()));
    }

private slots:
    void init() { board = std::make_unique<WindowOnLine>(); }
    void cleanup() { board.reset(); }

    void deviceGoneLeavesTheClosedStateAndOpensAgainLater()
    {
        openPort();
        click("Command7");
        board->line.reset(); // the adapter is pulled

        QTRY_COMPARE(get<QPushButton>("Command5")->text(), QStringLiteral("Open port"));
        QVERIFY(!board->link.portOpen());
        QVERIFY(!get<QPushButton>("Command7")->isEnabled());
        QVERIFY(!get<QPushButton>("Cmd_address")->isEnabled());
        QVERIFY(!get<QGroupBox>("Frame1")->isEnabled());
        QVERIFY(get<QRadioButton>("Option1")->isEnabled());
        QVERIFY(!get<QTimer>("Timer1")->isActive());
        QCOMPARE(get<QPushButton>("Command5")->toolTip(),
                 QStringLiteral("The port was closed: the device is gone (unplugged, or the "
                                "adapter stopped)."));

        board->plugIn();
        openPort();
        line().write(replyBytes({}));
        QTRY_COMPARE(get<QLabel>("DS_type")->text(), QStringLiteral("KX-LT"));
    }

    void noisyLineKeepsTheWindowResponsive()
    {
        openPort();
        click("Command7");
        std::atomic<bool> stop = false;
        std::atomic<bool> stopped = false;
        std::thread noise([this, &stop, &stopped] {
            std::mt19937 random(7);
            QByteArray chunk(512, '\0');
            while (!stop) {
                for (char& byte : chunk)
                    byte = char(random());
                line().write(chunk);
            }
            stopped = true;
        });
        QElapsedTimer clock;
        clock.start();
        qint64 longestStall = 0;
        while (clock.elapsed() < 3000) {
            QElapsedTimer turn;
            turn.start();
            QTest::qWait(10);
            longestStall = std::max(longestStall, turn.elapsed() - 10);
        }
        // The writer may wait for room on the line, which the window makes by reading.
        stop = true;
        while (!stopped)
            QTest::qWait(10);
        noise.join();
        qInfo("longest stall of the event loop: %lld ms", longestStall);
        QVERIFY(board->link.portOpen());
        QVERIFY(get<ReplyLog>("Rbox1")->lineCount() > 0);
        QVERIFY2(longestStall < 1000, "the window stopped answering");
    }

    void closingTheWindowDuringTheTestReleasesThePort()
    {
        openPort();
        click("Command7");
        QMetaObject::invokeMethod(get<QTimer>("Timer1"), "timeout");
        for (int i = 0; i < 20; ++i) {
            line().write(replyBytes({.actual = std::uint32_t(i)}));
            QTest::qWait(5);
        }
        const QString device = line().slavePath();
        board->window.close();
        QSerialPort other(device);
        QVERIFY2(other.open(QIODevice::ReadWrite), qPrintable(other.errorString()));
    }
};

KXLT_OFFSCREEN_TEST_MAIN(FaultsTest)
#include "tst_faults.moc"
