#pragma once

#include "port/serial_link.h"
#include "protocol/reply_framer.h"

#include <QLabel>
#include <QPlainTextEdit>
#include <QWidget>

#include <string>
#include <vector>

// The baseline: the window's receive path with the reply log as a plain QPlainTextEdit, the
// widget that serial tools commonly use and trim. Same work per reply: recognise, check, show
// the hex line, append it to the log and decode the figures into labels.
class PlainTextReplyView final : public QWidget {
public:
    explicit PlainTextReplyView(kxlt::port::SerialLink& link);

    QPlainTextEdit* log() const { return log_; }
    int lineCount() const;

private:
    void receive(const QByteArray& bytes);
    void showEvents(const std::vector<kxlt::protocol::LineEvent>& events);

    kxlt::port::SerialLink& link_;
    kxlt::protocol::ReplyFramer framer_;
    QPlainTextEdit* log_;
    QLabel* type_;
    QLabel* address_;
    QLabel* hexLine_;
    QLabel* goal_;
    QLabel* actual_;
    QLabel* seconds_;
    QLabel* difference_;
    QLabel* efficiency_;
    QLabel* serial_;
    QLabel* version_;
};
