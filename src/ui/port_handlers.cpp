// Opening and closing the port, and the automatic test that needs it open.
#include "ui/main_window.h"

#include "port/port_mapping.h"

#include <QGroupBox>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>

namespace kxlt::ui {

void MainWindow::openOrClosePort()
{
    const int portNumber = selectedPortNumber();
    if (MSComm1.portOpen())
        closePort();
    else
        openPort(portNumber);
}

int MainWindow::selectedPortNumber() const
{
    int portNumber = 0;
    for (std::size_t i = 0; i < portOptions_.size(); ++i) {
        if (portOptions_[i]->isChecked())
            portNumber = static_cast<int>(i) + 1;
    }
    return portNumber;
}

void MainWindow::openPort(int portNumber)
{
    const std::optional<QString> device = port::deviceForPort(portNumber);
    if (!line_.open(portNumber, device)) {
        // Passed over in silence; the reason waits in the tooltip for whoever wonders.
        Command5->setToolTip(line_.openFailure());
        return;
    }
    Command5->setToolTip(port::describePort(portNumber, device));
    Command5->setText(QStringLiteral("Close port"));
    for (QRadioButton* option : portOptions_)
        option->setEnabled(false);
    Command7->setEnabled(true);
    Frame1->setEnabled(true);
    Cmd_address->setEnabled(true);
}

void MainWindow::closePort()
{
    line_.close();
    showPortClosed();
}

void MainWindow::showPortClosed()
{
    Command5->setText(QStringLiteral("Open port"));
    Command7->setEnabled(false);
    Cmd_address->setEnabled(false);
    Frame1->setEnabled(false);
    for (QRadioButton* option : portOptions_)
        option->setEnabled(true);
    Timer1->stop();
}

void MainWindow::dropLostPort(const QString& reason)
{
    showPortClosed();
    Command5->setToolTip(QStringLiteral("The port was closed: %1").arg(reason));
}

void MainWindow::refreshPortTooltips()
{
    const auto devices = port::comPortDevices();
    for (std::size_t i = 0; i < portOptions_.size(); ++i)
        portOptions_[i]->setToolTip(port::describePort(static_cast<int>(i) + 1, devices[i]));
}

void MainWindow::startTest() { Timer1->start(protocol::kTestInterval); }

void MainWindow::testTick()
{
    MSComm1.setDTREnable(false);
    if (const auto address = boardAddress())
        writeFrame(protocol::queryFrame(*address));
}

} // namespace kxlt::ui
