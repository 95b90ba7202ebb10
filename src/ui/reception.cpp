// Replies from the board: recognised, checked, logged and decoded into the display fields.
#include "ui/main_window.h"

#include "protocol/reply_decoding.h"
#include "ui/reply_log.h"

#include <QLabel>
#include <QLineEdit>

namespace kxlt::ui {

namespace {

// An unrecognised block leaves the rest of the line's bytes in doubt: read and drop whatever has
// already arrived.
constexpr int kFlushReads = 2001;

const QColor kRecognisedColour(0, 192, 0);
const QColor kUnknownColour(255, 0, 0);

std::span<const std::uint8_t> bytesOf(const QByteArray& block)
{
    return {reinterpret_cast<const std::uint8_t*>(block.constData()),
            static_cast<std::size_t>(block.size())};
}

QString text(const std::string& utf8) { return QString::fromStdString(utf8); }

} // namespace

void MainWindow::receive()
{
    if (MSComm1.commEvent() != port::CommEvent::Receive)
        return;
    const QByteArray block = unfinishedReply_ + MSComm1.input();
    const protocol::ReceivedBlock received = protocol::readBlock(bytesOf(block));
    if (!received.recognised) {
        showPartType(false);
        discardWaitingInput();
    }
    for (const protocol::ReplyBytes& reply : received.replies) {
        if (received.recognised)
            showPartType(true);
        showReply(reply);
    }
    keepUnfinishedReply(block.right(static_cast<qsizetype>(received.unfinishedReplyBytes)));
}

// A read that ends inside a reply keeps its first bytes, and the receive event comes again once
// the rest is there, so that replies arriving faster than they are read are not lost.
void MainWindow::keepUnfinishedReply(const QByteArray& bytes)
{
    unfinishedReply_ = bytes;
    MSComm1.setRThreshold(static_cast<int>(protocol::kReplySize) - static_cast<int>(bytes.size()));
}

void MainWindow::showPartType(bool recognised)
{
    QPalette palette = DS_type->palette();
    palette.setColor(QPalette::WindowText, recognised ? kRecognisedColour : kUnknownColour);
    DS_type->setPalette(palette);
    showFigure(DS_type, recognised ? QStringLiteral("KX-LT") : QStringLiteral("Unknow Part"));
}

void MainWindow::discardWaitingInput()
{
    for (int i = 0; i < kFlushReads; ++i)
        MSComm1.input();
}

void MainWindow::showReply(const protocol::ReplyBytes& reply)
{
    showFigure(DS_address, text(protocol::replyAddressText(reply)));
    const std::string line = protocol::replyHexLine(reply);
    len1->setText(text(line));
    len1->setCursorPosition(0);
    replyLine_ = line + "\r\n";
    Rbox1->appendText(replyLine_);
}

void MainWindow::decodeReplyLine()
{
    Rbox1->moveCaretToEnd();
    const protocol::ReplyFigures figures = protocol::cutReplyFigures(replyLine_);
    showFigure(Dis_plan, text(figures.goal));
    showFigure(Dis_real, text(figures.actual));
    showFigure(Dis_div, text(figures.seconds));

    const std::string actual = Dis_real->text().toStdString();
    const std::string goal = Dis_plan->text().toStdString();
    if (const auto difference = protocol::differenceText(actual, goal))
        showFigure(Dis_diff, text(*difference));
    if (const auto efficiency = protocol::efficiencyText(actual, goal))
        showFigure(Dis_bidata, text(*efficiency));

    showFigure(Dis_serial, text(figures.serial));
    showFigure(Dis_version, text(figures.version));
}

} // namespace kxlt::ui
