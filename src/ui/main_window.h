#pragma once

#include "port/board_line.h"
#include "port/serial_link.h"
#include "protocol/command_frame.h"

#include <QHash>
#include <QWidget>

#include <array>
#include <optional>
#include <string>

class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QTimer;

namespace kxlt::ui {

class ReplyLog;

// The tool's one window. Its controls are its state: handlers read them, build or decode bytes
// through the protocol functions, and write controls or the serial link.
class MainWindow final : public QWidget {
    Q_OBJECT

public:
    explicit MainWindow(port::SerialLink& link, QWidget* parent = nullptr);

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // window_layout.cpp
    void buildControls();
    QGroupBox* buildPartTypeGroup();
    QGroupBox* buildSerialPortGroup();
    QWidget* buildLogArea();
    QGroupBox* buildDisplayDataGroup();
    QGroupBox* buildSetDataGroup();

    // window_accessibility.cpp
    void nameControlsForAssistiveTools();
    void orderTabStops();
    // Every value label's text is set here, so that its accessible name reads caption and value
    // whenever a reader listens.
    void showFigure(QLabel* figure, const QString& value);
    void nameFigure(QLabel* figure);
    void nameFigures();

    // main_window.cpp
    void connectCommands();
    void connectPort();
    void load();
    void hideSerialPortGroup();

    // command_handlers.cpp
    void sendStart();
    void sendStop();
    void sendClear();
    void sendControl(protocol::ControlCode code);
    void queryInformation();
    void sendAddress();
    void sendGoal();
    void sendActual();
    void sendIncrement();
    void sendValue(protocol::FunctionCode code, QLineEdit* box);
    std::optional<std::uint8_t> boardAddress();
    void sendDataLayout(const protocol::TransmitBuffer& buffer);
    void writeFrame(const protocol::TransmitBuffer& buffer);
    void echoFrame(const protocol::TransmitBuffer& buffer);

    // port_handlers.cpp
    void openOrClosePort();
    int selectedPortNumber() const;
    void openPort(int portNumber);
    void closePort();
    void showPortClosed();
    void dropLostPort(const QString& reason);
    void refreshPortTooltips();
    void startTest();
    void testTick();

    // reception.cpp
    void showLineEvent(const protocol::LineEvent& event);
    void showPartType(bool recognised);
    void showReply(const protocol::ReplyBytes& reply);
    void decodeReplyLine();

    port::SerialLink& MSComm1;
    port::BoardLine line_;
    QTimer* Timer1;
    // The latest reply's line with CR LF, kept for decoding.
    std::string replyLine_;
    // What a screen reader hears for each value label, "%1" standing for the value.
    QHash<QLabel*, QString> figureNames_;

    // "Part type"
    QGroupBox* KX_type;
    QLabel* DS_type;
    QPushButton* Cmd_info;
    QLabel* Label25;
    QLabel* Label24;
    QLabel* Label23;
    QLabel* DS_address;
    QLabel* Dis_serial;
    QLabel* Label26;
    QLabel* Dis_version;

    // "Serial Port"
    QGroupBox* Frame3;
    QRadioButton* Option1;
    QRadioButton* Option2;
    QRadioButton* Option3;
    QRadioButton* Option4;
    QRadioButton* Option5;
    std::array<QRadioButton*, 5> portOptions_;
    QPushButton* Command5;
    QPushButton* Command7;
    QPushButton* Cmd_address;
    QPushButton* Command6;
    QLabel* Label27;
    QLineEdit* Txt_address1;

    // Beneath "Serial Port"
    QLabel* Label8;
    ReplyLog* Rbox1;

    QLabel* Label18;
    QLineEdit* len1;
    QLabel* Label19;
    QLineEdit* Txt_send1;
    QLabel* Label21;
    QLabel* Label20;

    // "Display Data"
    QGroupBox* dis_time;
    QLabel* Label2;
    QLabel* Dis_plan;
    QLabel* Dis_div;
    QLabel* Label6;
    QLabel* Label15;
    QLabel* Dis_real;
    QLabel* Label17;
    QLabel* Dis_diff;
    QLabel* Label14;
    QLabel* Dis_bidata;
    QLabel* Label1;

    // "Set data"
    QGroupBox* Frame1;
    QLabel* Label10;
    QLineEdit* Set_target;
    QPushButton* Cmd_target;
    QLabel* Label13;
    QLineEdit* Set_real;
    QPushButton* Cmd_real;
    QLabel* Label3;
    QLineEdit* Set_add;
    QPushButton* Cmd_add;
    QPushButton* Cmd_start;
    QPushButton* Cmd_stop;
    QPushButton* Cmd_clear;
};

} // namespace kxlt::ui
