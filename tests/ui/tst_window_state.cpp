// The window's controls, their start state and the states that follow the port.
#include "fake_serial_link.h"
#include "offscreen_test_main.h"
#include "window_controls.h"

#include "ui/main_window.h"

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include <memory>

using kxlt::ui::MainWindow;

class WindowStateTest : public QObject {
    Q_OBJECT

private:
    FakeSerialLink* link = nullptr;
    std::unique_ptr<MainWindow> window;

    template <typename Control> Control* get(const char* name)
    {
        return control<Control>(*window, name);
    }
    void click(const char* name) { get<QAbstractButton>(name)->click(); }
    void openPort()
    {
        click("Command5");
        QVERIFY(link->open);
    }
    bool portControlsEnabled()
    {
        return get<QPushButton>("Command7")->isEnabled() && get<QGroupBox>("Frame1")->isEnabled() &&
               get<QPushButton>("Cmd_address")->isEnabled();
    }
    bool anyPortControlEnabled()
    {
        return get<QPushButton>("Command7")->isEnabled() || get<QGroupBox>("Frame1")->isEnabled() ||
               get<QPushButton>("Cmd_address")->isEnabled();
    }
    bool optionsEnabled()
    {
        for (const char* name : {"Option1", "Option2", "Option3", "Option4", "Option5"})
            if (!get<QRadioButton>(name)->isEnabled())
                return false;
        return true;
    }
    QTimer* timer() { return get<QTimer>("Timer1"); }
    void tick() { QMetaObject::invokeMethod(timer(), "timeout"); }

private slots:
    void init()
    {
        link = new FakeSerialLink;
        window = std::make_unique<MainWindow>(*link);
        link->setParent(window.get());
        window->show();
    }
    void cleanup() { window.reset(); }

    void captionsAndDefaults_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("caption");
        const std::pair<const char*, const char*> rows[] = {
            {"Cmd_info", "Information"},
            {"Label25", "Part Addr:"},
            {"Label24", "SN:"},
            {"Label23", "Version:"},
            {"DS_address", "00H"},
            {"Dis_serial", "000000"},
            {"Label26", "V"},
            {"Dis_version", "00"},
            {"Option1", "COM1"},
            {"Option2", "COM2"},
            {"Option3", "COM3"},
            {"Option4", "COM4"},
            {"Option5", "COM5"},
            {"Command5", "Open port"},
            {"Command7", "Start  test"},
            {"Cmd_address", "Set Addr"},
            {"Command6", "Hide"},
            {"Label27", "Address"},
            {"Txt_address1", "01"},
            {"Label18", "Recieveing data"},
            {"len1", "Text1"},
            {"Label19", "Send data"},
            {"Txt_send1", ""},
            {"Label21", "Display Board testing System"},
            {"Label20", "Ver 3.0b"},
            {"Label2", "GOAL:"},
            {"Dis_plan", "2000"},
            {"Dis_div", "50"},
            {"Label6", "s"},
            {"Label15", "ACTUAL:"},
            {"Dis_real", "1000"},
            {"Label17", "DIFFERENCE:"},
            {"Dis_diff", "1000"},
            {"Label14", "EFFICIENCY  :"},
            {"Dis_bidata", "50.0"},
            {"Label1", "%"},
            {"Label10", "GOAL  NUMBER:"},
            {"Set_target", "3500"},
            {"Cmd_target", "SET"},
            {"Label13", "ACTUAL NUMBER:"},
            {"Set_real", "2000"},
            {"Cmd_real", "SET"},
            {"Label3", "INCREMENT:"},
            {"Set_add", "10"},
            {"Cmd_add", "SET"},
            {"Cmd_start", "Start"},
            {"Cmd_stop", "Stop"},
            {"Cmd_clear", "Clear"},
            {"KX_type", "Part type"},
            {"Frame3", "Serial Port"},
            {"dis_time", "Display Data"},
            {"Frame1", "Set data"},
            {"Label8", "---------\xE4\xB8\xB2\xE5\x8F\xA3\xE6\x95\xB0\xE6\x8D\xAE---------"}};
        for (const auto& [name, caption] : rows)
            QTest::newRow(name) << QString::fromLatin1(name) << QString::fromUtf8(caption);
    }
    void captionsAndDefaults()
    {
        QFETCH(QString, name);
        QFETCH(QString, caption);
        QObject* found = window->findChild<QObject*>(name);
        QVERIFY2(found, qPrintable(name));
        QString shown;
        if (auto* label = qobject_cast<QLabel*>(found))
            shown = label->text();
        else if (auto* button = qobject_cast<QAbstractButton*>(found))
            shown = button->text();
        else if (auto* box = qobject_cast<QLineEdit*>(found))
            shown = box->text();
        else if (auto* group = qobject_cast<QGroupBox*>(found))
            shown = group->title();
        QCOMPARE(shown, caption);
    }

    void boxLengths_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("maxLength");
        QTest::newRow("address takes two characters") << "Txt_address1" << 2;
        QTest::newRow("goal takes four") << "Set_target" << 4;
        QTest::newRow("actual takes four") << "Set_real" << 4;
        QTest::newRow("increment takes three") << "Set_add" << 3;
    }
    void boxLengths()
    {
        QFETCH(QString, name);
        QFETCH(int, maxLength);
        openPort();
        auto* box = get<QLineEdit>(name.toLatin1().constData());
        box->clear();
        QTest::keyClicks(box, QStringLiteral("123456"));
        QCOMPARE(box->text(), QStringLiteral("123456").left(maxLength));
    }

    void startState()
    {
        QCOMPARE(window->windowTitle(), QStringLiteral("VORAN display board"));
        QVERIFY(get<QRadioButton>("Option1")->isChecked());
        QCOMPARE(get<QLabel>("DS_type")->text(), QStringLiteral("Unknow Part"));
        QCOMPARE(get<QLabel>("DS_type")->palette().color(QPalette::WindowText), QColor(255, 0, 0));
        QVERIFY(!anyPortControlEnabled());
        for (const char* name :
             {"Cmd_start", "Cmd_stop", "Cmd_clear", "Cmd_target", "Cmd_real", "Cmd_add"})
            QVERIFY2(!get<QPushButton>(name)->isEnabled(), name);
        QVERIFY(get<QPushButton>("Command5")->isEnabled());
        QVERIFY(get<QPushButton>("Cmd_info")->isEnabled());
        QVERIFY(optionsEnabled());
        QVERIFY(!timer()->isActive());
        QVERIFY(get<QGroupBox>("Frame3")->isVisible());
        QVERIFY(!link->open);
    }

    void openAndCloseFollowThePort_data()
    {
        QTest::addColumn<QString>("option");
        QTest::addColumn<int>("portNumber");
        for (int n = 1; n <= 5; ++n)
            QTest::addRow("COM%d", n) << QStringLiteral("Option%1").arg(n) << n;
    }
    void openAndCloseFollowThePort()
    {
        QFETCH(QString, option);
        QFETCH(int, portNumber);
        get<QRadioButton>(option.toLatin1().constData())->click();
        click("Command5");

        QVERIFY(link->open);
        QCOMPARE(link->portNumber, portNumber);
        QCOMPARE(link->settings, kxlt::port::kBoardLineSettings);
        QCOMPARE(link->handshaking, kxlt::port::Handshaking::None);
        QCOMPARE(get<QPushButton>("Command5")->text(), QStringLiteral("Close port"));
        QVERIFY(portControlsEnabled());
        for (const char* name : {"Option1", "Option2", "Option3", "Option4", "Option5"})
            QVERIFY(!get<QRadioButton>(name)->isEnabled());

        click("Command5");
        QVERIFY(!link->open);
        QCOMPARE(get<QPushButton>("Command5")->text(), QStringLiteral("Open port"));
        QVERIFY(!anyPortControlEnabled());
        QVERIFY(optionsEnabled());
        QVERIFY(get<QRadioButton>(option.toLatin1().constData())->isChecked());
    }

    void failedOpenChangesNothingAndSaysWhyInTooltip()
    {
        link->opens = false;
        MessageBoxCatcher messages;
        messages.arm(20);
        click("Command5");
        QTest::qWait(50);
        QCOMPARE(messages.seen, 0);
        QCOMPARE(get<QPushButton>("Command5")->text(), QStringLiteral("Open port"));
        QVERIFY(!anyPortControlEnabled());
        QVERIFY(optionsEnabled());
        QVERIFY(get<QPushButton>("Command5")->toolTip().contains(QStringLiteral("Device busy")));

        link->opens = true;
        click("Command5");
        QVERIFY(link->open);
        QVERIFY(portControlsEnabled());
    }

    void hideAndInformationOnClosedPort()
    {
        get<QLineEdit>("Txt_send1")->setText(QStringLiteral("earlier"));
        click("Command6");
        QVERIFY(!get<QGroupBox>("Frame3")->isVisible());
        QVERIFY(!get<QLabel>("Label27")->isVisible());
        QVERIFY(window->findChild<QWidget*>(QStringLiteral("Rbox1"))->isVisible());
        QVERIFY(get<QLabel>("Label8")->isVisible());

        MessageBoxCatcher messages;
        messages.arm();
        click("Cmd_info");
        QCOMPARE(messages.seen, 1);
        QCOMPARE(messages.title, QStringLiteral("KX-LT"));
        QCOMPARE(messages.text, QStringLiteral("No serial port opened!"));
        QVERIFY(!messages.hadIcon);
        QVERIFY(get<QGroupBox>("Frame3")->isVisible());
        QVERIFY(get<QLabel>("Label27")->isVisible());
        QCOMPARE(get<QLabel>("DS_type")->text(), QStringLiteral("Unknow Part"));
        QCOMPARE(get<QLineEdit>("Txt_send1")->text(), QStringLiteral("earlier"));
        QVERIFY(link->written.isEmpty());
    }

    void informationOnOpenPortIgnoresTheAddressBox()
    {
        openPort();
        get<QLabel>("DS_type")->setText(QStringLiteral("KX-LT"));
        get<QLineEdit>("Txt_address1")->clear();
        click("Cmd_info");
        QCOMPARE(get<QLineEdit>("Txt_send1")->text(), QStringLiteral("AA F9 63 9C 63 9C 00 AB "));
        QCOMPARE(link->written, QList<QByteArray>{QByteArray::fromHex("AAF9639C639C00AB00")});
        QCOMPARE(get<QLabel>("DS_type")->text(), QStringLiteral("Unknow Part"));
    }

    void commandsSendTheirFrames_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("address");
        QTest::addColumn<QString>("valueBox");
        QTest::addColumn<QString>("value");
        QTest::addColumn<QString>("echo");
        QTest::addColumn<int>("copies");
        QTest::newRow("start at 01, twice") << "Cmd_start"
                                            << "01"
                                            << ""
                                            << ""
                                            << "AA F5 01 11 00 00 00 10 " << 2;
        QTest::newRow("stop at 01") << "Cmd_stop"
                                    << "01"
                                    << ""
                                    << ""
                                    << "AA F5 01 22 00 00 00 23 " << 2;
        QTest::newRow("clear at 01") << "Cmd_clear"
                                     << "01"
                                     << ""
                                     << ""
                                     << "AA F5 01 33 00 00 00 32 " << 2;
        QTest::newRow("start at 10 is decimal") << "Cmd_start"
                                                << "10"
                                                << ""
                                                << ""
                                                << "AA F5 0A 11 00 00 00 1B " << 2;
        QTest::newRow("set address 85, once") << "Cmd_address"
                                              << "85"
                                              << ""
                                              << ""
                                              << "AA FB 55 55 AA AA 00 AB " << 1;
        QTest::newRow("default goal 3500") << "Cmd_target"
                                           << "01"
                                           << "Set_target"
                                           << "3500"
                                           << "AA F0 01 00 35 00 00 34 " << 2;
        QTest::newRow("default actual 2000") << "Cmd_real"
                                             << "01"
                                             << "Set_real"
                                             << "2000"
                                             << "AA F1 01 00 20 00 00 21 " << 2;
        QTest::newRow("default increment 10") << "Cmd_add"
                                              << "01"
                                              << "Set_add"
                                              << "10"
                                              << "AA F2 01 00 00 10 00 11 " << 2;
        QTest::newRow("blanks around the address") << "Cmd_stop"
                                                   << " 7"
                                                   << ""
                                                   << ""
                                                   << "AA F5 07 22 00 00 00 25 " << 2;
    }
    void commandsSendTheirFrames()
    {
        QFETCH(QString, button);
        QFETCH(QString, address);
        QFETCH(QString, valueBox);
        QFETCH(QString, value);
        QFETCH(QString, echo);
        QFETCH(int, copies);
        openPort();
        get<QLineEdit>("Txt_address1")->setText(address);
        if (!valueBox.isEmpty())
            get<QLineEdit>(valueBox.toLatin1().constData())->setText(value);
        click(button.toLatin1().constData());

        QCOMPARE(get<QLineEdit>("Txt_send1")->text(), echo);
        const QByteArray buffer = QByteArray::fromHex(echo.toLatin1()) + '\0';
        QCOMPARE(link->written, QList<QByteArray>(copies, buffer));
        if (!valueBox.isEmpty())
            QCOMPARE(get<QLineEdit>(valueBox.toLatin1().constData())->text(), value);
    }

    void closedPortEchoesButWritesNothing()
    {
        get<QGroupBox>("Frame1")->setEnabled(true);
        get<QPushButton>("Cmd_address")->setEnabled(true);
        click("Cmd_start");
        QCOMPARE(get<QLineEdit>("Txt_send1")->text(), QStringLiteral("AA F5 01 11 00 00 00 10 "));
        click("Cmd_address");
        QCOMPARE(get<QLineEdit>("Txt_send1")->text(), QStringLiteral("AA FB 01 01 FE FE 00 AB "));
        QVERIFY(link->written.isEmpty());
    }

    void refusedTextSendsNothingAndIsMarked_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("box");
        QTest::addColumn<QString>("text");
        QTest::newRow("letters in the address") << "Cmd_start"
                                                << "Txt_address1"
                                                << "a1";
        QTest::newRow("empty address") << "Cmd_address"
                                       << "Txt_address1"
                                       << "";
        QTest::newRow("signed address") << "Cmd_clear"
                                        << "Txt_address1"
                                        << "-1";
        QTest::newRow("decimal point in the address") << "Cmd_target"
                                                      << "Txt_address1"
                                                      << "1.";
        QTest::newRow("G in the increment") << "Cmd_add"
                                            << "Set_add"
                                            << "12G";
        QTest::newRow("empty goal") << "Cmd_target"
                                    << "Set_target"
                                    << "";
        QTest::newRow("blank before the actual") << "Cmd_real"
                                                 << "Set_real"
                                                 << " 12";
    }
    void refusedTextSendsNothingAndIsMarked()
    {
        QFETCH(QString, button);
        QFETCH(QString, box);
        QFETCH(QString, text);
        openPort();
        get<QLineEdit>("Txt_send1")->setText(QStringLiteral("earlier"));
        auto* refused = get<QLineEdit>(box.toLatin1().constData());
        refused->setText(text);
        click(button.toLatin1().constData());

        QVERIFY(link->written.isEmpty());
        QCOMPARE(get<QLineEdit>("Txt_send1")->text(), QStringLiteral("earlier"));
        QVERIFY(!refused->toolTip().isEmpty());
        QVERIFY(refused->styleSheet().contains(QStringLiteral("255, 0, 0")));

        refused->selectAll();
        QTest::keyClick(refused, Qt::Key_1);
        QVERIFY(refused->toolTip().isEmpty());
        QVERIFY(refused->styleSheet().isEmpty());
    }

    void lostPortLeavesTheClosedState()
    {
        openPort();
        click("Command7");
        QVERIFY(timer()->isActive());
        MessageBoxCatcher messages;
        messages.arm(20);
        link->lose(QStringLiteral("Input/output error"));
        QTest::qWait(50);
        QCOMPARE(messages.seen, 0);
        QCOMPARE(get<QPushButton>("Command5")->text(), QStringLiteral("Open port"));
        QVERIFY(!anyPortControlEnabled());
        QVERIFY(optionsEnabled());
        QVERIFY(!timer()->isActive());
        QVERIFY(
            get<QPushButton>("Command5")->toolTip().contains(QStringLiteral("Input/output error")));

        click("Command5");
        QVERIFY(link->open);
    }

    void automaticTestQueriesTheTypedAddress()
    {
        openPort();
        get<QLineEdit>("Txt_send1")->setText(QStringLiteral("earlier"));
        click("Command7");
        QVERIFY(timer()->isActive());
        QCOMPARE(timer()->interval(), 1000);

        tick();
        QCOMPARE(link->dtr, std::optional<bool>(false));
        get<QLineEdit>("Txt_address1")->setText(QStringLiteral("10"));
        tick();
        get<QLineEdit>("Txt_address1")->setText(QStringLiteral("x"));
        tick();
        get<QLineEdit>("Txt_address1")->setText(QStringLiteral("0"));
        tick();
        QCOMPARE(link->written, (QList<QByteArray>{QByteArray::fromHex("AAF901FE01FE00AB00"),
                                                   QByteArray::fromHex("AAF90AF50AF500AB00"),
                                                   QByteArray::fromHex("AAF900FF00FF00AB00")}));
        QVERIFY(timer()->isActive());
        QCOMPARE(get<QLineEdit>("Txt_send1")->text(), QStringLiteral("earlier"));

        click("Command5");
        QVERIFY(!timer()->isActive());
        click("Command5");
        QVERIFY(!timer()->isActive());
    }

    void hideKeepsTheTestRunning()
    {
        openPort();
        click("Command7");
        click("Command6");
        QVERIFY(timer()->isActive());
        QVERIFY(link->open);
    }

    void closingTheWindowReleasesThePort()
    {
        openPort();
        window->close();
        QVERIFY(!link->open);
    }

    void optionTooltipsNameTheDevice()
    {
        qputenv("KXLT_COM2", "/dev/pts/77");
        QHelpEvent help(QEvent::ToolTip, QPoint(1, 1), QPoint(1, 1));
        QApplication::sendEvent(get<QRadioButton>("Option2"), &help);
        qunsetenv("KXLT_COM2");
        QVERIFY(get<QRadioButton>("Option2")->toolTip().contains(QStringLiteral("/dev/pts/77")));
    }
};

KXLT_OFFSCREEN_TEST_MAIN(WindowStateTest)
#include "tst_window_state.moc"
