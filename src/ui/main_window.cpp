#include "ui/main_window.h"

#include "ui/input_marking.h"
#include "ui/reply_log.h"

#include <QCloseEvent>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>

namespace kxlt::ui {

MainWindow::MainWindow(port::SerialLink& link, QWidget* parent)
    : QWidget(parent), MSComm1(link), line_(link)
{
    buildControls();
    nameControlsForAssistiveTools();
    orderTabStops();
    connectCommands();
    connectPort();
    load();
}

void MainWindow::connectCommands()
{
    connect(Cmd_start, &QPushButton::clicked, this, &MainWindow::sendStart);
    connect(Cmd_stop, &QPushButton::clicked, this, &MainWindow::sendStop);
    connect(Cmd_clear, &QPushButton::clicked, this, &MainWindow::sendClear);
    connect(Cmd_info, &QPushButton::clicked, this, &MainWindow::queryInformation);
    connect(Cmd_address, &QPushButton::clicked, this, &MainWindow::sendAddress);
    connect(Cmd_target, &QPushButton::clicked, this, &MainWindow::sendGoal);
    connect(Cmd_real, &QPushButton::clicked, this, &MainWindow::sendActual);
    connect(Cmd_add, &QPushButton::clicked, this, &MainWindow::sendIncrement);
    connect(Command6, &QPushButton::clicked, this, &MainWindow::hideSerialPortGroup);
    for (QLineEdit* box : {Txt_address1, Set_target, Set_real, Set_add})
        connect(box, &QLineEdit::textEdited, box, [box] { clearRefusal(*box); });
}

void MainWindow::connectPort()
{
    connect(Command5, &QPushButton::clicked, this, &MainWindow::openOrClosePort);
    connect(Command7, &QPushButton::clicked, this, &MainWindow::startTest);
    connect(Timer1, &QTimer::timeout, this, &MainWindow::testTick);
    connect(&line_, &port::BoardLine::lineEvent, this, &MainWindow::showLineEvent);
    connect(&line_, &port::BoardLine::lost, this, &MainWindow::dropLostPort);
    connect(Rbox1, &ReplyLog::changed, this, &MainWindow::decodeReplyLine);
    for (QRadioButton* option : portOptions_)
        option->installEventFilter(this);
}

void MainWindow::load()
{
    Option1->setChecked(true);
    Cmd_address->setEnabled(false);
    Command7->setEnabled(false);
    Frame1->setEnabled(false);
    Timer1->stop();
    showPartType(false);
    const std::pair<QLabel*, QString> shownAtStart[] = {
        {DS_address, QStringLiteral("00H")}, {Dis_serial, QStringLiteral("000000")},
        {Dis_version, QStringLiteral("00")}, {Dis_plan, QStringLiteral("2000")},
        {Dis_div, QStringLiteral("50")},     {Dis_real, QStringLiteral("1000")},
        {Dis_diff, QStringLiteral("1000")},  {Dis_bidata, QStringLiteral("50.0")},
    };
    for (const auto& [figure, value] : shownAtStart)
        showFigure(figure, value);
    refreshPortTooltips();
}

void MainWindow::hideSerialPortGroup()
{
    Frame3->setVisible(false);
    Label27->setVisible(false);
}

void MainWindow::closeEvent(QCloseEvent* event)
{
    if (MSComm1.portOpen())
        MSComm1.setPortOpen(false);
    QWidget::closeEvent(event);
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event)
{
    // The device behind a COM button can change while the tool runs (an adapter plugged in).
    if (event->type() == QEvent::ToolTip)
        refreshPortTooltips();
    return QWidget::eventFilter(watched, event);
}

} // namespace kxlt::ui
