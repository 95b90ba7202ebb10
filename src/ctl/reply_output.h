#pragma once

#include "ctl/invocation.h"
#include "ctl/reply_report.h"

#include <QDateTime>

#include <iostream>

namespace kxlt::ctl {

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
    // Something printed could not be written (a full disk, a closed pipe).
    bool failed() const;

private:
    OutputFormat format_;
    std::ostream& out_;
    bool headerPrinted_ = false;
};

} // namespace kxlt::ctl
