// The buttons that send frames to the board.
#include "ui/main_window.h"

#include "protocol/board_address.h"
#include "protocol/value_field.h"
#include "ui/input_marking.h"

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>

namespace kxlt::ui {

using protocol::ControlCode;
using protocol::FunctionCode;

void MainWindow::sendStart() { sendControl(ControlCode::Start); }
void MainWindow::sendStop() { sendControl(ControlCode::Stop); }
void MainWindow::sendClear() { sendControl(ControlCode::Clear); }

void MainWindow::sendControl(ControlCode code)
{
    if (const auto address = boardAddress())
        sendDataLayout(protocol::controlFrame(*address, code));
}

void MainWindow::sendGoal() { sendValue(FunctionCode::SetGoal, Set_target); }
void MainWindow::sendActual() { sendValue(FunctionCode::SetActual, Set_real); }
void MainWindow::sendIncrement() { sendValue(FunctionCode::SetIncrement, Set_add); }

void MainWindow::sendValue(FunctionCode code, QLineEdit* box)
{
    const auto address = boardAddress();
    if (!address)
        return;
    const auto value =
        acceptedOrMarked(*box, protocol::encodeValueField(box->text().toStdString()));
    if (value)
        sendDataLayout(protocol::valueFrame(code, *address, *value));
}

void MainWindow::queryInformation()
{
    Frame3->setVisible(true);
    Label27->setVisible(true);
    showPartType(false);
    if (!MSComm1.portOpen()) {
        QMessageBox message(QMessageBox::NoIcon, QStringLiteral("KX-LT"),
                            QStringLiteral("No serial port opened!"), QMessageBox::Ok, this);
        message.exec();
        return;
    }
    const auto buffer = protocol::queryFrame(protocol::kIdentityPairValue);
    echoFrame(buffer);
    writeFrame(buffer);
}

void MainWindow::sendAddress()
{
    if (const auto address = boardAddress()) {
        const auto buffer = protocol::setAddressFrame(*address);
        writeFrame(buffer);
        echoFrame(buffer);
    }
}

std::optional<std::uint8_t> MainWindow::boardAddress()
{
    return acceptedOrMarked(*Txt_address1,
                            protocol::parseBoardAddress(Txt_address1->text().toStdString()));
}

// The echo follows the first write; a data-layout frame's second write follows the echo.
void MainWindow::sendDataLayout(const protocol::TransmitBuffer& buffer)
{
    writeFrame(buffer);
    echoFrame(buffer);
    for (int write = 1; write < protocol::writesOf(buffer); ++write)
        writeFrame(buffer);
}

void MainWindow::writeFrame(const protocol::TransmitBuffer& buffer)
{
    if (MSComm1.portOpen())
        MSComm1.output(buffer);
}

void MainWindow::echoFrame(const protocol::TransmitBuffer& buffer)
{
    Txt_send1->setText(QString::fromLatin1(protocol::echoText(buffer)));
}

} // namespace kxlt::ui
