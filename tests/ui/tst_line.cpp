// The window on a real serial line: a pseudo-terminal opened through the same QSerialPort code
// the operator uses, the test playing the board on the master side.
#include "offscreen_test_main.h"
#include "reply_bytes.h"
#include "window_on_line.h"

#include "ui/reply_log.h"

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSerialPort>
#include <QSignalSpy>
#include <QTest>

#include <memory>

using kxlt::ui::ReplyLog;

namespace {

QByteArray twice(const QByteArray& bytes) { return bytes + bytes; }

const QByteArray kReply = replyBytes({});
const QString kReplyLine = QString::fromLatin1((kReply + kReply.right(1)).toHex().toUpper());
const QString kZeroLine(56, QLatin1Char('0'));
constexpr int kQuietMs = int(kxlt::port::kQuietTime.count());

} // namespace

class LineTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<WindowOnLine> board;

    template <typename Control> Control* get(const char* name) { return board->get<Control>(name); }
    void click(const char* name) { board->click(name); }
    PseudoTerminal& line() { return *board->line; }
    void setAddress(const QString& text) { get<QLineEdit>("Txt_address1")->setText(text); }
    void openPort()
    {
        QVERIFY2(board->openPort(), qPrintable(get<QPushButton>("Command5")->toolTip()));
    }
    void tick() { QMetaObject::invokeMethod(get<QTimer>("Timer1"), "timeout"); }
    // Pieces with the event loop running in between, as a real line delivers them: at 9600 baud
    // a byte takes about a millisecond, and USB adapters hand bytes over in chunks.
    void writePaced(const QByteArray& bytes, int pieceSize, int gapMs)
    {
        for (qsizetype at = 0; at < bytes.size(); at += pieceSize) {
            line().write(bytes.mid(at, pieceSize));
            QTest::qWait(gapMs);
        }
    }
    // Reads with the event loop running, so that the window's timer can fire meanwhile.
    QByteArray readWhileRunning(int count, int timeoutMs)
    {
        QByteArray received;
        QDeadlineTimer deadline(timeoutMs);
        while (received.size() < count && !deadline.hasExpired()) {
            QTest::qWait(10);
            received += line().read(count - received.size(), 0);
        }
        return received;
    }

private slots:
    void init() { board = std::make_unique<WindowOnLine>(); }
    void cleanup() { board.reset(); }

    void lineSettingsAre9600EightNoneOneWithoutFlowControl()
    {
        openPort();
        const termios settings = line().lineSettings();
        QCOMPARE(cfgetospeed(&settings), speed_t(B9600));
        QCOMPARE(cfgetispeed(&settings), speed_t(B9600));
        QCOMPARE(settings.c_cflag & CSIZE, tcflag_t(CS8));
        QCOMPARE(settings.c_cflag & (PARENB | CSTOPB | CRTSCTS), tcflag_t(0));
        QCOMPARE(settings.c_iflag & (IXON | IXOFF | ICRNL | ISTRIP), tcflag_t(0));
        QCOMPARE(settings.c_lflag & (ICANON | ECHO), tcflag_t(0));
    }

    void commandsReachTheLine_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("address");
        QTest::addColumn<QByteArray>("onTheLine");
        const QByteArray start = QByteArray::fromHex("AAF5011100000010") + '\0';
        QTest::newRow("start at 01: the buffer twice, 18 bytes") << "Cmd_start"
                                                                 << "01" << twice(start);
        QTest::newRow("set address 85 once, 0xAA data unchanged")
            << "Cmd_address"
            << "85" << QByteArray::fromHex("AAFB5555AAAA00AB00");
        QTest::newRow("information once") << "Cmd_info"
                                          << "" << QByteArray::fromHex("AAF9639C639C00AB00");
        QTest::newRow("default goal twice")
            << "Cmd_target"
            << "01" << twice(QByteArray::fromHex("AAF0010035000034") + '\0');
    }
    void commandsReachTheLine()
    {
        QFETCH(QString, button);
        QFETCH(QString, address);
        QFETCH(QByteArray, onTheLine);
        openPort();
        setAddress(address);
        click(button.toLatin1().constData());
        QCOMPARE(line().read(onTheLine.size()).toHex(' '), onTheLine.toHex(' '));
        QCOMPARE(line().readFor(100), QByteArray());
    }

    void nothingReachesTheLineWhileClosed()
    {
        get<QGroupBox>("Frame1")->setEnabled(true);
        get<QPushButton>("Cmd_address")->setEnabled(true);
        click("Cmd_start");
        openPort();
        click("Command5");
        QVERIFY(!board->link.portOpen());
        get<QGroupBox>("Frame1")->setEnabled(true);
        get<QPushButton>("Cmd_address")->setEnabled(true);
        click("Cmd_stop");
        click("Cmd_address");
        tick();
        QCOMPARE(line().readFor(150), QByteArray());
        QCOMPARE(get<QLineEdit>("Txt_send1")->text(), QStringLiteral("AA FB 01 01 FE FE 00 AB "));
    }

    void portOpensAgainAfterTheWindowCloses()
    {
        openPort();
        board->window.close();
        QVERIFY(!board->link.portOpen());
        QSerialPort other(line().slavePath());
        QVERIFY2(other.open(QIODevice::ReadWrite), qPrintable(other.errorString()));
    }

    void portHeldElsewhereFailsQuietlyThenOpens()
    {
        auto other = std::make_unique<QSerialPort>(line().slavePath());
        QVERIFY(other->open(QIODevice::ReadWrite));
        click("Command5");
        QVERIFY(!board->link.portOpen());
        QCOMPARE(get<QPushButton>("Command5")->text(), QStringLiteral("Open port"));
        QVERIFY(get<QPushButton>("Command5")->toolTip().contains(line().slavePath()));

        other.reset();
        openPort();
        QCOMPARE(get<QPushButton>("Command5")->text(), QStringLiteral("Close port"));
    }

    void lineIsCutIntoReplies_data()
    {
        QTest::addColumn<QByteArray>("before");
        QTest::addColumn<int>("pieceSize");
        QTest::addColumn<int>("gapMs");
        QTest::addColumn<QStringList>("lines");
        const QStringList reply{kReplyLine};
        QTest::newRow("a reply at line speed") << QByteArray() << 1 << 1 << reply;
        QTest::newRow("USB chunks 16 ms apart") << QByteArray() << 8 << 16 << reply;
        QTest::newRow("a slow adapter, 50 ms a byte") << QByteArray() << 1 << 50 << reply;
        QTest::newRow("noise, a quiet line, then a reply")
            << QByteArray::fromHex("0154FF54549C2054") << 1 << 1
            << QStringList{kZeroLine, kReplyLine};
        QTest::newRow("a stray marker, a quiet line, then a reply")
            << QByteArray("T") << 1 << 1 << QStringList{kZeroLine, kReplyLine};
    }
    void lineIsCutIntoReplies()
    {
        QFETCH(QByteArray, before);
        QFETCH(int, pieceSize);
        QFETCH(int, gapMs);
        QFETCH(QStringList, lines);
        openPort();
        auto* log = get<ReplyLog>("Rbox1");
        QSignalSpy changes(log, &ReplyLog::changed);
        if (!before.isEmpty()) {
            writePaced(before, 1, 1);
            QTest::qWait(2 * kQuietMs);
        }
        writePaced(kReply, pieceSize, gapMs);
        QTRY_COMPARE(changes.count(), lines.size());
        QTest::qWait(2 * kQuietMs);
        QCOMPARE(log->text().split(QStringLiteral("\r\n"), Qt::SkipEmptyParts), lines);
        QCOMPARE(get<QLabel>("DS_type")->text(), QStringLiteral("KX-LT"));
    }

    void bytesWaitingBeforeTheOpenAreDiscarded()
    {
        line().write(kReply);
        openPort();
        QTest::qWait(2 * kQuietMs);
        QCOMPARE(get<ReplyLog>("Rbox1")->lineCount(), std::size_t(0));
        writePaced(kReply, 1, 1);
        QTRY_COMPARE(get<QLineEdit>("len1")->text(), kReplyLine);
    }

    void automaticTestPollsTheTypedAddress()
    {
        openPort();
        get<QLineEdit>("Txt_send1")->setText(QStringLiteral("earlier"));
        click("Command7");
        // One real tick proves the timer runs; the rest are driven.
        QCOMPARE(readWhileRunning(9, 2000).toHex(' '),
                 QByteArray::fromHex("AAF901FE01FE00AB00").toHex(' '));
        get<QTimer>("Timer1")->setInterval(3600 * 1000);
        setAddress(QStringLiteral("10"));
        tick();
        QCOMPARE(line().read(9).toHex(' '), QByteArray::fromHex("AAF90AF50AF500AB00").toHex(' '));
        setAddress(QStringLiteral("99"));
        tick();
        QCOMPARE(line().read(9).toHex(' '), QByteArray::fromHex("AAF9639C639C00AB00").toHex(' '));
        QCOMPARE(get<QLineEdit>("Txt_send1")->text(), QStringLiteral("earlier"));

        click("Command5");
        QVERIFY(!get<QTimer>("Timer1")->isActive());
        click("Command5");
        QVERIFY(board->link.portOpen());
        QVERIFY(!get<QTimer>("Timer1")->isActive());
        QCOMPARE(line().readFor(100), QByteArray());

        click("Command7");
        tick();
        QCOMPARE(line().read(9).toHex(' '), QByteArray::fromHex("AAF9639C639C00AB00").toHex(' '));
    }
};

KXLT_OFFSCREEN_TEST_MAIN(LineTest)
#include "tst_line.moc"
