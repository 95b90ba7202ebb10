#include "ctl/reply_output.h"

#include <QJsonDocument>
#include <QJsonObject>

#include <algorithm>
#include <vector>

namespace kxlt::ctl {

namespace {

struct Field {
    // JSON and CSV name, and text label.
    std::string_view key;
    std::string_view label;
    // The usual width of the text, for table columns.
    std::size_t width;
    std::optional<std::string> text;
    bool isNumber = false;
};

std::vector<Field> fieldsOf(const ReplyReport& report)
{
    const protocol::ReplyFigures& figures = report.figures;
    return {
        {"part_type", "part type", 5, report.partType},
        {"address", "address", 3, std::to_string(report.address), true},
        {"goal", "goal", 6, figures.goal},
        {"actual", "actual", 6, figures.actual},
        {"seconds", "seconds", 4, figures.seconds},
        {"serial", "serial", 6, figures.serial},
        {"version", "version", 3, figures.version},
        {"difference", "difference", 7, report.difference},
        {"efficiency", "efficiency", 16, report.efficiency},
        {"reply", "reply", 56, report.line},
    };
}

Field timeField(const QDateTime& arrival)
{
    const QDateTime withOffset = arrival.toOffsetFromUtc(arrival.offsetFromUtc());
    return {"time", "time", 29, withOffset.toString(Qt::ISODateWithMs).toStdString()};
}

std::string padded(std::string_view text, std::size_t width)
{
    std::string cell(text);
    cell.resize(std::max(width, text.size()), ' ');
    return cell;
}

std::size_t columnWidth(const Field& field) { return std::max(field.width, field.label.size()); }

std::string textBlock(const std::vector<Field>& fields)
{
    std::size_t labelWidth = 0;
    for (const Field& field : fields)
        labelWidth = std::max(labelWidth, field.label.size());
    std::string block;
    for (const Field& field : fields)
        block += padded(field.label, labelWidth) + "  " + field.text.value_or("") + '\n';
    return block;
}

// Cells two blanks apart; the last one unpadded.
template <typename Cell> std::string textRow(const std::vector<Field>& fields, Cell cell)
{
    std::string row;
    for (std::size_t i = 0; i < fields.size(); ++i) {
        const std::string text = cell(fields[i]);
        row += i + 1 < fields.size() ? padded(text, columnWidth(fields[i])) + "  " : text + '\n';
    }
    return row;
}

// Every figure is hex digits, a number, a time or "KX-LT": nothing needs quoting.
template <typename Cell> std::string csvRecord(const std::vector<Field>& fields, Cell cell)
{
    std::string record;
    for (const Field& field : fields)
        record += (record.empty() ? "" : ",") + cell(field);
    return record + '\n';
}

std::string jsonLine(const std::vector<Field>& fields)
{
    QJsonObject object;
    for (const Field& field : fields) {
        const QString key = QString::fromLatin1(field.key);
        if (!field.text)
            object.insert(key, QJsonValue::Null);
        else if (field.isNumber)
            object.insert(key, std::stoi(*field.text));
        else
            object.insert(key, QString::fromStdString(*field.text));
    }
    return QJsonDocument(object).toJson(QJsonDocument::Compact).toStdString() + '\n';
}

// A row's fields: the time it arrived, then the figures.
std::vector<Field> rowFields(const ReplyReport& report, const QDateTime& arrival)
{
    std::vector<Field> fields = fieldsOf(report);
    fields.insert(fields.begin(), timeField(arrival));
    return fields;
}

} // namespace

void ReplyOutput::printReply(const ReplyReport& report)
{
    const auto fields = fieldsOf(report);
    out_ << (format_ == OutputFormat::Json ? jsonLine(fields) : textBlock(fields)) << std::flush;
}

void ReplyOutput::printRow(const ReplyReport& report, const QDateTime& arrival)
{
    const std::vector<Field> fields = rowFields(report, arrival);
    const auto label = [](const Field& field) { return std::string(field.label); };
    const auto key = [](const Field& field) { return std::string(field.key); };
    const auto text = [](const Field& field) { return field.text.value_or(""); };
    std::string printed;
    switch (format_) {
    case OutputFormat::Text:
        printed = (headerPrinted_ ? "" : textRow(fields, label)) + textRow(fields, text);
        break;
    case OutputFormat::Csv:
        printed = (headerPrinted_ ? "" : csvRecord(fields, key)) + csvRecord(fields, text);
        break;
    case OutputFormat::Json: printed = jsonLine(fields); break;
    }
    headerPrinted_ = true;
    out_ << printed << std::flush;
}

std::string jsonRow(const ReplyReport& report, const QDateTime& arrival)
{
    std::string line = jsonLine(rowFields(report, arrival));
    line.pop_back();
    return line;
}

void ReplyOutput::printSilence(int address, const QDateTime& time)
{
    if (format_ != OutputFormat::Json)
        return;
    const QJsonObject silence{
        {QStringLiteral("time"), QString::fromStdString(*timeField(time).text)},
        {QStringLiteral("address"), address},
        {QStringLiteral("answer"), QJsonValue::Null},
    };
    out_ << QJsonDocument(silence).toJson(QJsonDocument::Compact).toStdString() << '\n'
         << std::flush;
}

bool ReplyOutput::failed() const { return out_.fail(); }

} // namespace kxlt::ctl
