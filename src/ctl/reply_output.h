#pragma once

#include "ctl/invocation.h"
#include "ctl/reply_report.h"

#include <QDateTime>

#include <iostream>

namespace kxlt::ctl {

// The JSON object of a row, as --json prints it, on one line without its line end.
std::string jsonRow(const ReplyReport& report, const QDateTime& arrival);

// Writes replies to standard output, or to `out`, each as soon as it is printed.
class ReplyOutput {
public:
    explicit ReplyOutput(OutputFormat format, std::ostream& out = std::cout)
        : format_(format), out_(out)
    {
    }

    // info, status, --verify: one "name  value" line per figure, or one JSON object.
    void printReply(const ReplyReport& report);
    // scan, watch: a table row, a JSON object or a CSV record, each with the time of arrival;
    // text and CSV begin with a header.
    void printRow(const ReplyReport& report, const QDateTime& arrival);
    // watch --json: a board that did not answer, as {"time": ..., "address": N, "answer": null}.
    void printSilence(int address, const QDateTime& time);
    // Something printed could not be written (a full disk, a closed pipe).
    bool failed() const;

private:
    OutputFormat format_;
    std::ostream& out_;
    bool headerPrinted_ = false;
};

} // namespace kxlt::ctl
