// Replies reaching the window: part type, check, log line and the decoded display fields.
#include "offscreen_test_main.h"
#include "reply_bytes.h"
#include "window_fixture.h"

#include <QScrollBar>

#include <memory>

namespace {

const QByteArray kWorkedReply = replyBytes({});
const QString kWorkedLine = replyLine(kWorkedReply);

QByteArray withLastByte(QByteArray reply, char last)
{
    reply[26] = last;
    return reply;
}

} // namespace

class ReceptionTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<WindowOnFake> ui;

    QString caption(const char* name) { return ui->shown(name); }
    kxlt::ui::ReplyLog* log() { return ui->log(); }

private slots:
    void init()
    {
        ui = std::make_unique<WindowOnFake>();
        QVERIFY(ui->openPort());
    }
    void cleanup() { ui.reset(); }

    void replyFillsTheWindow_data()
    {
        QTest::addColumn<QByteArray>("block");
        QTest::addColumn<QStringList>(
            "expected"); // DS_type, DS_address, len1, Dis_plan, Dis_real,
                         // Dis_div, Dis_diff, Dis_bidata, Dis_serial, Dis_version
        QTest::newRow("worked reply")
            << kWorkedReply << QStringList{"KX-LT", "1H",    kWorkedLine, "002000", "001000",
                                           "0050",  "-1000", "50",        "123456", "3.0"};
        QTest::newRow("address 0x0A is 10H, version 0x12 is 1.2, a hex letter in the goal shows")
            << replyBytes({.goal = 0x00A000, .version = 0x12, .address = 0x0A})
            << QStringList{"KX-LT", "10H",  "",     "00A000", "001000",
                           "0050",  "1000", "50.0", "123456", "1.2"};
        QTest::newRow("check fails: Com Error, fields emptied, figures kept")
            << withLastByte(kWorkedReply, 0)
            << QStringList{"KX-LT", "1H", "Com Error", "", "", "", "1000", "50.0", "", "."};
        QTest::newRow("unrecognised block: zero line")
            << QByteArray::fromHex("AA") + kWorkedReply.mid(1)
            << QStringList{"Unknow Part", "0H", kZeroLine, "000000", "000000",
                           "0000",        "0",  "50.0",    "000000", "0.0"};
    }
    void replyFillsTheWindow()
    {
        QFETCH(QByteArray, block);
        QFETCH(QStringList, expected);
        ui->link.receive(block);

        const char* fields[] = {"DS_type", "DS_address", "len1",       "Dis_plan",   "Dis_real",
                                "Dis_div", "Dis_diff",   "Dis_bidata", "Dis_serial", "Dis_version"};
        for (int i = 0; i < expected.size(); ++i) {
            if (expected[i].isEmpty() && QByteArray(fields[i]) == "len1")
                continue; // the hex line is checked by the worked rows
            QCOMPARE(caption(fields[i]), expected[i]);
        }
        const bool recognised = expected[0] == QStringLiteral("KX-LT");
        QCOMPARE(ui->get<QLabel>("DS_type")->palette().color(QPalette::WindowText),
                 recognised ? QColor(0, 192, 0) : QColor(255, 0, 0));
        QCOMPARE(log()->text(), caption("len1") + QStringLiteral("\r\n"));
        QCOMPARE(ui->get<QLineEdit>("len1")->cursorPosition(), 0);
    }

    void everyReplyOfOneReadIsALineOfItsOwn()
    {
        QSignalSpy changes(log(), &kxlt::ui::ReplyLog::changed);
        const QByteArray second = replyBytes({.actual = 0x001010});
        ui->link.receive(kWorkedReply + second);
        const QString secondLine = replyLine(second);
        QCOMPARE(ui->logLines(), (QStringList{kWorkedLine, secondLine}));
        QCOMPARE(changes.count(), 2);
        QCOMPARE(caption("len1"), secondLine);
    }

    void newestLineComesIntoView()
    {
        ui->window.show();
        ui->click("Command6");
        for (int i = 0; i < 500; ++i)
            log()->appendText("545454\r\n");
        auto* bar = log()->verticalScrollBar();
        QTRY_VERIFY(bar->maximum() > 0);
        bar->setValue(0);
        ui->link.receive(kWorkedReply);
        QTRY_COMPARE(bar->value(), bar->maximum());
    }

    void openingForgetsAPartOfAReply()
    {
        emit ui->link.received(kWorkedReply.left(20));
        ui->click("Command5");
        QVERIFY(ui->openPort());
        ui->link.receive(kWorkedReply.mid(20));
        QCOMPARE(ui->logLines(), QStringList());
    }
};

KXLT_OFFSCREEN_TEST_MAIN(ReceptionTest)
#include "tst_reception.moc"
