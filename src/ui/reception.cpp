// Replies from the board: cut from the line, checked, logged and decoded into the display fields.
#include "ui/main_window.h"

#include "protocol/reply_decoding.h"
#include "ui/reply_log.h"

#include <QLabel>
#include <QLineEdit>

namespace kxlt::ui {

namespace {

const QColor kRecognisedColour(0, 192, 0);
const QColor kUnknownColour(255, 0, 0);

QString text(const std::string& utf8) { return QString::fromStdString(utf8); }

} // namespace

// Junk shows as the all-zero reply it carries, under "Unknow Part".
void MainWindow::showLineEvent(const protocol::LineEvent& event)
{
    showPartType(event.kind != protocol::LineEventKind::Junk);
    showReply(event.bytes);
}

void MainWindow::showPartType(bool recognised)
{
    QPalette palette = DS_type->palette();
    palette.setColor(QPalette::WindowText, recognised ? kRecognisedColour : kUnknownColour);
    DS_type->setPalette(palette);
    showFigure(DS_type, QString::fromLatin1(recognised ? protocol::kPartTypeName
                                                       : protocol::kUnknownPartText));
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
