// The window on a real serial line: a pseudo-terminal opened through the same QSerialPort code
// the operator uses, the test playing the board on the master side. Bytes come paced as a real
// line delivers them; the device can be held elsewhere or go away.
#include "offscreen_test_main.h"
#include "reply_bytes.h"
#include "window_fixture.h"

#include <QPushButton>
#include <QSerialPort>

#include <memory>

namespace {

const QByteArray kReply = replyBytes({});
const QString kReplyLine = replyLine(kReply);
constexpr int kQuietMs = int(kxlt::port::kQuietTime.count());

} // namespace

class LineTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<WindowOnLine> ui;

    FarEnd& line() { return *ui->line; }
    // Pieces with the event loop running in between, as a real line delivers them: at 9600 baud
    // a byte takes about a millisecond, and USB adapters hand bytes over in chunks.
    void writePaced(const QByteArray& bytes, int pieceSize, int gapMs)
    {
        for (qsizetype at = 0; at < bytes.size(); at += pieceSize) {
            line().write(bytes.mid(at, pieceSize));
            QTest::qWait(gapMs);
        }
    }
private slots:
    void init() { ui = std::make_unique<WindowOnLine>(); }
    void cleanup() { ui.reset(); }

    void portHeldElsewhereFailsQuietlyThenOpens()
    {
        auto other = std::make_unique<QSerialPort>(line().slavePath());
        QVERIFY(other->open(QIODevice::ReadWrite));
        ui->click("Command5");
        QVERIFY(!ui->link.portOpen());
        QCOMPARE(ui->get<QPushButton>("Command5")->toolTip(),
                 line().slavePath() + QStringLiteral(" is busy: another program holds it. Close "
                                                     "that program and press Open port again."));
        other.reset();
        QVERIFY(ui->openPort());
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
        QTest::newRow("27 bytes of noise, a quiet line, then a reply")
            << QByteArray(27, '\xFF') << 1 << 1 << QStringList{kZeroLine, kReplyLine};
    }
    void lineIsCutIntoReplies()
    {
        QFETCH(QByteArray, before);
        QFETCH(int, pieceSize);
        QFETCH(int, gapMs);
        QFETCH(QStringList, lines);
        QVERIFY(ui->openPort());
        QSignalSpy changes(ui->log(), &kxlt::ui::ReplyLog::changed);
        if (!before.isEmpty()) {
            writePaced(before, 1, 1);
            QTest::qWait(2 * kQuietMs);
        }
        writePaced(kReply, pieceSize, gapMs);
        QTRY_COMPARE(changes.count(), lines.size());
        QTest::qWait(2 * kQuietMs);
        QCOMPARE(ui->logLines(), lines);
        QCOMPARE(ui->shown("DS_type"), QStringLiteral("KX-LT"));
    }

    void deviceGoneLeavesTheClosedStateAndOpensAgainLater()
    {
        QVERIFY(ui->openPort());
        ui->click("Command7");
        ui->line.reset(); // the adapter is pulled
        QTRY_COMPARE(ui->shown("Command5"), QStringLiteral("Open port"));
        QVERIFY(!ui->link.portOpen());
        QVERIFY(!ui->get<QTimer>("Timer1")->isActive());
        QCOMPARE(ui->get<QPushButton>("Command5")->toolTip(),
                 QStringLiteral("The port was closed: the device is gone (unplugged, or the "
                                "adapter stopped)."));

        ui->plugIn();
        QVERIFY(ui->openPort());
        line().write(kReply);
        QTRY_COMPARE(ui->shown("len1"), kReplyLine);
    }

    void closingTheWindowDuringTheTestReleasesThePort()
    {
        QVERIFY(ui->openPort());
        ui->click("Command7");
        ui->tick();
        for (int i = 0; i < 20; ++i) {
            line().write(replyBytes({.actual = std::uint32_t(i)}));
            QTest::qWait(5);
        }
        ui->window.close();
        QSerialPort other(line().slavePath());
        QVERIFY2(other.open(QIODevice::ReadWrite), qPrintable(other.errorString()));
    }
};

KXLT_OFFSCREEN_TEST_MAIN(LineTest)
#include "tst_line.moc"
