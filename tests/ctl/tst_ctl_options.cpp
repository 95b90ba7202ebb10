// kxltctl's command line: what each command takes and refuses, --help as approved, and that it,
// the man page and the bash completion name what the parser knows.
#include "snapshot.h"

#include "ctl/commands.h"
#include "ctl/help_text.h"
#include "ctl/options.h"
#include "protocol/hex_text.h"

#include <QFile>
#include <QRegularExpression>
#include <QTest>

#include <utility>

using namespace kxlt::ctl;

namespace {

// Every field the parser set; a device under its own name, as the command opens it.
QStringList fieldsOf(const Invocation& i)
{
    QStringList addresses;
    for (const std::uint8_t address : i.addresses)
        addresses << QString::number(address);
    return {"command=" + commandNames().at(static_cast<int>(i.command)),
            "port=" + QString::number(i.portNumber),
            "device=" + (i.device ? *deviceOf(i) : QString()),
            "address=" + QString::number(i.address),
            "timeout=" + QString::number(i.timeout.count()),
            "format=" + QStringList{"text", "json", "csv"}.at(static_cast<int>(i.format)),
            "value=" + QString::fromStdString(kxlt::protocol::hexText(i.value)),
            "new=" + QString::number(i.newAddress),
            "verify=" + QString::number(i.verify),
            QStringLiteral("range=%1-%2").arg(i.range.first).arg(i.range.last),
            "interval=" + QString::number(i.interval.count()),
            "count=" + (i.count ? QString::number(*i.count) : QString()),
            "addresses=" + addresses.join(','),
            "reconnect=" + QString::number(i.reconnect),
            "mqtt=" + (i.mqtt ? QStringLiteral("%1:%2/%3@%4:%5")
                                    .arg(i.mqtt->host)
                                    .arg(i.mqtt->port)
                                    .arg(i.mqtt->topicPrefix, i.mqtt->userName, i.mqtt->password)
                              : QString())};
}

QStringList outcomeOf(const QString& arguments)
{
    // '' stands for an empty argument.
    const ParsedArguments parsed =
        parseArguments(arguments.split(' ', Qt::SkipEmptyParts).replaceInStrings("''", QString()));
    if (const auto* invocation = std::get_if<Invocation>(&parsed))
        return fieldsOf(*invocation);
    if (const auto* error = std::get_if<UsageError>(&parsed))
        return {"refused: " + QString::fromStdString(error->message)};
    return {std::holds_alternative<HelpRequested>(parsed) ? "help" : "version"};
}

// The commands and options named in what `term` picks out of the text: "goal N, actual N".
QStringList namesIn(const QString& text, const QString& term)
{
    static const QRegularExpression name(R"((?<![\w$\\-])-{0,2}[a-z][a-z-]*)");
    QStringList names;
    for (const auto& found :
         QRegularExpression(term, QRegularExpression::MultilineOption).globalMatch(text))
        for (const auto& match : name.globalMatch(found.captured(1)))
            names << match.captured();
    names.sort();
    names.removeDuplicates();
    return names;
}

QString packagingFile(const char* name)
{
    QFile file(QStringLiteral(KXLT_PACKAGING_DIR "/") + name);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

// Command lines, whose outcomes (every field, or the refusal) are approved in
// tests/snapshots/kxltctl-command-lines.txt.
constexpr const char* kCommandLines[] = {
    "info --json --json",
    "start --port /dev/../dev/null",
    "--port /dev/x --port COM5 stop",
    "clear --port com3",
    "goal 3500 --verify",
    "--address 255 actual ABC",
    "set-address 255 --verify",
    "scan --csv",
    "scan 5-5",
    "watch --interval 1 --count 1 --timeout 3600000",
    "watch --address 1,2,7",
    "watch --address 1-4,9,3",
    "watch --address 7-7",
    "status --address 5",
    "watch --reconnect --mqtt broker",
    "watch --topic plant/l1 --mqtt-user ops --mqtt 10.0.0.5:8883",
    "status --help",
    "-h",
    "--version",
    "",
    "STATUS",
    "status --verbose",
    "status --timeout",
    "goal -5",
    "--port COM0 status",
    "status --port ''",
    "--port COM6 status",
    "scan 1-5-9",
    "scan 0-256",
    "scan 9-3",
    "watch --count 0",
    "watch --interval 0",
    "status --timeout 3600001",
    "status --verify",
    "status --csv",
    "scan --interval 5",
    "status --count 5",
    "watch --csv --json",
    "increment 5 --verify",
    "status --address 1,2",
    "watch --address 1,,2",
    "watch --address 4-2",
    "watch --address 1-256",
    "status --reconnect",
    "watch --mqtt ::1:1883",
    "watch --mqtt broker:0",
    "watch --mqtt :1883",
    "watch --mqtt b --topic a/#/b",
    "watch --topic plant"};

} // namespace

class CtlOptionsTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { qputenv("KXLT_MQTT_PASSWORD", "secret"); }
    void parse()
    {
        QStringList commandLines(std::begin(kCommandLines), std::end(kCommandLines));
        // Every command with no value, one and two.
        for (const QString& command : commandNames())
            commandLines << command << command + " 1" << command + " 1 1";
        QString outcomes;
        for (const QString& arguments : commandLines)
            outcomes +=
                QStringLiteral("$ kxltctl %1\n%2\n").arg(arguments, outcomeOf(arguments).join(' '));
        compareWithSnapshot(QStringLiteral("kxltctl-command-lines.txt"), outcomes);
    }

    // The terms of --help's lists, the terms after .TP in the man page, the completion's words.
    // The completion offers long options only.
    void documentsNameWhatTheParserKnows()
    {
        const QString manPage =
            packagingFile("kxltctl.1").replace("\\-", "-").remove(QRegularExpression(R"(\\f.)"));
        QStringList known = commandNames() + optionNames();
        known.sort();
        compareWithSnapshot(QStringLiteral("kxltctl-help.txt"), QString::fromUtf8(helpText()));
        QCOMPARE(namesIn(QString::fromUtf8(helpText()), "^  (\\S.*?)(?:  |$)"), known);
        QCOMPARE(namesIn(manPage, "^\\.TP\n(.*)$"), known);
        known.removeIf(
            [](const QString& name) { return !name.startsWith("--") && name.startsWith('-'); });
        QCOMPARE(namesIn(packagingFile("kxltctl.bash-completion"),
                         "(?:commands|words\\+?)=['\"](.*?)['\"]"),
                 known);
    }
};

QTEST_GUILESS_MAIN(CtlOptionsTest)
#include "tst_ctl_options.moc"
