#include "ctl/reply_report.h"

namespace kxlt::ctl {

ReplyReport reportReply(const protocol::ReplyBytes& reply)
{
    ReplyReport report;
    report.partType = protocol::kPartTypeName;
    report.address = reply[protocol::kReplyAddressByte];
    report.line = protocol::replyHexLine(reply);
    report.figures = protocol::cutReplyFigures(report.line);
    report.difference = protocol::differenceText(report.figures.actual, report.figures.goal);
    report.efficiency = protocol::efficiencyText(report.figures.actual, report.figures.goal);
    return report;
}

} // namespace kxlt::ctl
