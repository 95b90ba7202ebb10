#include "plain_text_log.h"

#include "protocol/reply_decoding.h"
#include "protocol/status_reply.h"

#include <QTextBlock>
#include <QVBoxLayout>

PlainTextReplyView::PlainTextReplyView(kxlt::port::SerialLink& link) : link_(link)
{
    auto* column = new QVBoxLayout(this);
    for (QLabel** label : {&type_, &address_, &hexLine_, &goal_, &actual_, &seconds_, &difference_,
                           &efficiency_, &serial_, &version_}) {
        *label = new QLabel;
        column->addWidget(*label);
    }
    log_ = new QPlainTextEdit;
    log_->setReadOnly(true);
    column->addWidget(log_);
    connect(&link_, &kxlt::port::SerialLink::received, this, &PlainTextReplyView::receive);
    connect(&link_, &kxlt::port::SerialLink::lineQuiet, this,
            [this] { showEvents(framer_.lineQuiet()); });
}

int PlainTextReplyView::lineCount() const
{
    // An empty last block follows the final line break.
    return log_->document()->blockCount() - 1;
}

void PlainTextReplyView::receive(const QByteArray& bytes)
{
    showEvents(framer_.receive(
        {reinterpret_cast<const std::uint8_t*>(bytes.constData()), std::size_t(bytes.size())}));
}

void PlainTextReplyView::showEvents(const std::vector<kxlt::protocol::LineEvent>& events)
{
    using namespace kxlt::protocol;
    for (const LineEvent& event : events) {
        const ReplyBytes& reply = event.bytes;
        type_->setText(event.kind != LineEventKind::Junk ? QStringLiteral("KX-LT")
                                                         : QStringLiteral("Unknow Part"));
        address_->setText(QString::fromStdString(replyAddressText(reply)));
        const std::string line = replyHexLine(reply);
        hexLine_->setText(QString::fromStdString(line));
        log_->moveCursor(QTextCursor::End);
        log_->insertPlainText(QString::fromStdString(line + "\n"));

        const ReplyFigures figures = cutReplyFigures(line);
        goal_->setText(QString::fromStdString(figures.goal));
        actual_->setText(QString::fromStdString(figures.actual));
        seconds_->setText(QString::fromStdString(figures.seconds));
        if (const auto difference = differenceText(figures.actual, figures.goal))
            difference_->setText(QString::fromStdString(*difference));
        if (const auto efficiency = efficiencyText(figures.actual, figures.goal))
            efficiency_->setText(QString::fromStdString(*efficiency));
        serial_->setText(QString::fromStdString(figures.serial));
        version_->setText(QString::fromStdString(figures.version));
    }
}
