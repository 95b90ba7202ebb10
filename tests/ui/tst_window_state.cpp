// The window on a fake link that records what it is asked: how it looks as the port opens and
// closes, what each command writes and echoes, and what a reply fills in.
#include "reply_bytes.h"
#include "snapshot.h"
#include "window_fixture.h"

#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>

#include <memory>
#include <tuple>

namespace {

const QByteArray kWorkedReply = replyBytes({});
const QString kWorkedLine = replyLine(kWorkedReply);

// Each named control as the operator meets it: where it stands, what it says and in what font and
// colour, whether it can be used or another control lies over it; then the path the tab key takes.
QStringList looks(QWidget& window)
{
    QStringList lines{window.windowTitle() +
                      QStringLiteral(" %1x%2").arg(window.width()).arg(window.height())};
    for (QWidget* w : window.findChildren<QWidget*>()) {
        if (w->objectName().isEmpty() || w->objectName().startsWith(QLatin1String("qt_")))
            continue;
        QString line;
        QTextStream out(&line);
        const QPoint at = w->mapTo(&window, QPoint());
        const QWidget* const onTop = window.childAt(at + w->rect().center());
        out << w->objectName() << " @" << at.x() << ',' << at.y() << ' ' << w->width() << 'x'
            << w->height();
        if (auto* label = qobject_cast<QLabel*>(w))
            out << " \"" << label->text() << '"'
                << (label->buddy() ? " for " + label->buddy()->objectName() : QString());
        if (auto* button = qobject_cast<QAbstractButton*>(w))
            out << " \"" << button->text() << (button->isChecked() ? "\" checked" : "\"");
        if (auto* box = qobject_cast<QLineEdit*>(w))
            out << " \"" << box->text() << "\" max " << box->maxLength() << " at "
                << box->cursorPosition();
        if (auto* group = qobject_cast<QGroupBox*>(w))
            out << " \"" << group->title() << '"';
        out << ' ' << w->font().pointSizeF() << (w->font().bold() ? "pt bold " : "pt ")
            << w->palette().color(w->foregroundRole()).name() << (w->isEnabled() ? "" : " off")
            << (w->isVisible() ? "" : " hidden")
            << (w->isVisible() && onTop != w && !w->isAncestorOf(onTop) ? " covered" : "")
            << " tip \"" << w->toolTip() << '"' << (w->styleSheet().isEmpty() ? "" : " style ")
            << w->styleSheet();
        lines << line;
    }
    QString tab = QStringLiteral("tab:");
    for (QWidget* at = window.nextInFocusChain(); at != &window; at = at->nextInFocusChain())
        if (at->focusPolicy() & Qt::TabFocus && !at->objectName().isEmpty())
            tab += ' ' + at->objectName();
    return lines << tab;
}

// The window after each step of a story: all of it at first, then what changed.
struct Storyboard {
    QStringList before;
    QString told;

    void take(const char* step, QWidget& window)
    {
        const QStringList now = looks(window);
        told += QStringLiteral("== %1\n").arg(step);
        for (const QString& line : now)
            if (!before.contains(line))
                told += line + '\n';
        before = now;
    }
};

} // namespace

class WindowStateTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<WindowOnFake> ui;

    QTimer* timer() { return ui->get<QTimer>("Timer1"); }

private slots:
    void init()
    {
        ui = std::make_unique<WindowOnFake>();
        ui->window.show();
    }
    void cleanup() { ui.reset(); }

    // The window at each step, as approved in tests/snapshots/window.txt.
    void looksAsApproved()
    {
        Storyboard story;
        story.take("closed", ui->window);
        QVERIFY(ui->openPort());
        story.take("open", ui->window);
        ui->link.receive(kWorkedReply);
        story.take("a reply in", ui->window);
        ui->link.receive(replyBytes({.goal = 0x00A000, .version = 0x12, .address = 0x0A}));
        story.take("a hex letter in the goal from 10H, version 1.2", ui->window);
        ui->link.receive(withBadCheck(kWorkedReply));
        story.take("a bad check", ui->window);
        ui->link.receive(QByteArray::fromHex("AA") + kWorkedReply.mid(1));
        story.take("an unknown type", ui->window);
        ui->click("Command5");
        story.take("closed by the operator", ui->window);
        ui->link.opens = false;
        ui->click("Command5");
        story.take("refused", ui->window);
        ui->link.opens = true;
        QVERIFY(ui->openPort());
        ui->link.lose(QStringLiteral("the device is gone."));
        story.take("lost", ui->window);
        ui->click("Command6");
        story.take("hidden", ui->window);
        ui->window.resize(800, 700);
        story.take("larger", ui->window);
        compareWithSnapshot(QStringLiteral("window.txt"), story.told);
    }

    void startState()
    {
        QVERIFY(!timer()->isActive());
        // With the port closed a command is echoed, and nothing written.
        ui->get<QGroupBox>("Frame1")->setEnabled(true);
        ui->click("Cmd_start");
        QCOMPARE(ui->shown("Txt_send1"), QStringLiteral("AA F5 01 11 00 00 00 10 "));
        QVERIFY(ui->link.written.isEmpty());
        // Closing the window releases the port.
        QVERIFY(ui->openPort());
        ui->window.close();
        QVERIFY(!ui->link.open);
    }

    // A COM button names the device it opens as the mouse comes to it, and opens that device.
    void openAndCloseFollowThePort()
    {
        qputenv("KXLT_COM5", "/dev/null");
        qunsetenv("KXLT_COM4");
        QHelpEvent help(QEvent::ToolTip, QPoint(1, 1), QPoint(1, 1));
        QStringList tips;
        for (const char* option : {"Option4", "Option5"}) {
            QApplication::sendEvent(ui->get<QRadioButton>(option), &help);
            tips << ui->get<QRadioButton>(option)->toolTip();
        }
        QCOMPARE(tips, QStringList({"COM4: no serial device found", "COM5 opens /dev/null"}));
        ui->click("Option5");
        QVERIFY(ui->openPort());
        QCOMPARE(ui->link.portNumber, 5);
        QCOMPARE(ui->link.device, QStringLiteral("/dev/null"));
        QCOMPARE(ui->link.settings, kxlt::port::kBoardLineSettings);
        QCOMPARE(ui->link.handshaking, kxlt::port::Handshaking::None);
    }

    // What the window shows then is in its story.
    void refusedOrLostPortStopsTheTestWithoutAMessageBox()
    {
        MessageBoxCatcher messages;
        messages.arm(20);
        ui->link.opens = false;
        ui->click("Command5");
        ui->link.opens = true;
        QVERIFY(ui->openPort());
        ui->click("Command7");
        ui->link.lose(QStringLiteral("the device is gone."));
        QVERIFY(!timer()->isActive());
        QTest::qWait(50);
        QCOMPARE(messages.seen, 0);
    }

    void hideShowsTheLogUnderTheGroupAndInformationBringsItBack()
    {
        ui->type("Txt_send1", QStringLiteral("earlier"));
        ui->click("Command6");

        MessageBoxCatcher messages;
        messages.arm();
        ui->click("Cmd_info");
        QCOMPARE(messages.title + ": " + messages.text, "KX-LT: No serial port opened!");
        QVERIFY(messages.seen == 1 && !messages.hadIcon);
        QVERIFY(!ui->get<QGroupBox>("Frame3")->isHidden());
        QVERIFY(!ui->get<QLabel>("Label27")->isHidden());
        QCOMPARE(ui->shown("Txt_send1"), QStringLiteral("earlier"));
        QVERIFY(ui->link.written.isEmpty());
    }

    // Each button with the address typed, the frame it echoes, how many times it
    // writes it and how many writes come before the echo: start and the others are written, echoed,
    // written again; set address written once, then echoed; information echoed, then written once,
    // whatever the address.
    void commandsWriteAndEchoTheirFrames()
    {
        const std::tuple<const char*, const char*, const char*, int, int> table[] = {
            {"Cmd_start", "10", "AA F5 0A 11 00 00 00 1B ", 2, 1},
            {"Cmd_stop", " 7", "AA F5 07 22 00 00 00 25 ", 2, 1},
            {"Cmd_clear", "01", "AA F5 01 33 00 00 00 32 ", 2, 1},
            {"Cmd_target", "01", "AA F0 01 00 35 00 00 34 ", 2, 1},
            {"Cmd_real", "01", "AA F1 01 00 20 00 00 21 ", 2, 1},
            {"Cmd_add", "01", "AA F2 01 00 00 10 00 11 ", 2, 1},
            {"Cmd_address", "85", "AA FB 55 55 AA AA 00 AB ", 1, 1},
            {"Cmd_info", "", "AA F9 63 9C 63 9C 00 AB ", 1, 0},
        };
        for (const auto& [button, address, echo, copies, writtenBeforeEcho] : table) {
            init();
            QVERIFY(ui->openPort());
            ui->link.receive(replyBytes({}));
            ui->type("Txt_address1", address);
            qsizetype writtenAtEcho = -1;
            connect(ui->get<QLineEdit>("Txt_send1"), &QLineEdit::textChanged, this,
                    [&] { writtenAtEcho = ui->link.written.size(); });
            ui->click(button);

            QCOMPARE(ui->shown("Txt_send1"), QString(echo));
            QCOMPARE(ui->link.written, QList<QByteArray>(copies, QByteArray::fromHex(echo) + '\0'));
            QCOMPARE(writtenAtEcho, writtenBeforeEcho);
            const bool info = button == QByteArray("Cmd_info");
            QCOMPARE(ui->shown("DS_type"), info ? "Unknow Part" : "KX-LT");
            QCOMPARE(ui->get<QLabel>("DS_type")->palette().color(QPalette::WindowText),
                     info ? QColor(255, 0, 0) : QColor(0, 192, 0));
        }
    }

    // Letters in the address, a blank before the actual, an empty goal, a sign in the increment.
    void refusedTextSendsNothingAndIsMarked()
    {
        const std::tuple<const char*, const char*, const char*> table[] = {
            {"Cmd_start", "Txt_address1", "a1"},
            {"Cmd_real", "Set_real", " 12"},
            {"Cmd_target", "Set_target", ""},
            {"Cmd_add", "Set_add", "-1"},
        };
        for (const auto& [button, box, text] : table) {
            init();
            QVERIFY(ui->openPort());
            ui->type("Txt_send1", QStringLiteral("earlier"));
            auto* refused = ui->get<QLineEdit>(box);
            refused->setText(text);
            ui->click(button);

            QVERIFY2(ui->link.written.isEmpty(), box);
            QCOMPARE(ui->shown("Txt_send1"), QStringLiteral("earlier"));
            QVERIFY(!refused->toolTip().isEmpty() && refused->styleSheet().contains("255, 0, 0"));
            // A good value sent clears the mark, and so does an edit.
            refused->setText(QStringLiteral("1"));
            ui->click(button);
            QVERIFY(refused->styleSheet().isEmpty());
            refused->setText(text);
            ui->click(button);

            refused->selectAll();
            QTest::keyClick(refused, Qt::Key_1);
            QVERIFY(refused->toolTip().isEmpty() && refused->styleSheet().isEmpty());
        }
    }

    void automaticTestQueriesTheTypedAddressUntilThePortCloses()
    {
        QVERIFY(ui->openPort());
        ui->type("Txt_send1", QStringLiteral("earlier"));
        ui->click("Command7");
        QCOMPARE(timer()->interval(), 1000);
        for (const char* address : {"1", "x", "10"}) {
            ui->type("Txt_address1", QString::fromLatin1(address));
            ui->tick();
        }
        QCOMPARE(ui->link.dtr, std::optional<bool>(false));
        QCOMPARE(ui->link.written, (QList<QByteArray>{QByteArray::fromHex("AAF901FE01FE00AB00"),
                                                      QByteArray::fromHex("AAF90AF50AF500AB00")}));
        QCOMPARE(ui->shown("Txt_send1"), QStringLiteral("earlier"));

        ui->click("Command6");
        QVERIFY(timer()->isActive());
        ui->click("Command5");
        QVERIFY(!timer()->isActive());
        QVERIFY(ui->openPort());
        QVERIFY(!timer()->isActive());
    }

    // Three replies in one read: the first two are confirmed together, by the bytes after them.
    void everyReplyOfOneReadIsALineOfItsOwn()
    {
        QVERIFY(ui->openPort());
        QSignalSpy changes(ui->log(), &kxlt::ui::ReplyLog::changed);
        const QByteArray second = replyBytes({.actual = 0x001010});
        const QByteArray third = replyBytes({.actual = 0x001020});
        ui->link.receive(kWorkedReply + second + third);
        QCOMPARE(ui->logLines(), (QStringList{kWorkedLine, replyLine(second), replyLine(third)}));
        QCOMPARE(changes.count(), 3);
        QCOMPARE(ui->shown("len1"), replyLine(third));
    }

    void newestLineComesIntoView()
    {
        QVERIFY(ui->openPort());
        ui->click("Command6");
        for (int i = 0; i < 500; ++i)
            ui->log()->appendText("545454\r\n");
        auto* bar = ui->log()->verticalScrollBar();
        QTRY_VERIFY(bar->maximum() > 0);
        bar->setValue(0);
        ui->link.receive(kWorkedReply);
        QTRY_COMPARE(bar->value(), bar->maximum());
    }

    // Closed and opened again before the line is quiet.
    void openingForgetsAPartOfAReply()
    {
        QVERIFY(ui->openPort());
        emit ui->link.received(kWorkedReply.left(20));
        ui->click("Command5");
        ui->click("Command5");
        ui->link.receive(kWorkedReply.mid(20));
        QCOMPARE(ui->logLines(), QStringList());
    }
};

QTEST_MAIN(WindowStateTest)
#include "tst_window_state.moc"
