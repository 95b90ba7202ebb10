// kxltctl's command line: what each command takes and refuses, --help as approved, and that it,
// the man page and the bash completion name what the parser knows.
#include "snapshot.h"

#include "ctl/help_text.h"
#include "ctl/options.h"
#include "protocol/hex_text.h"

#include <QFile>
#include <QRegularExpression>
#include <QTest>

#include <utility>

using namespace kxlt::ctl;

namespace {

QStringList fieldsOf(const Invocation& i)
{
    QStringList addresses;
    for (const std::uint8_t address : i.addresses)
        addresses << QString::number(address);
    return {"command=" + commandNames().at(static_cast<int>(i.command)),
            "port=" + QString::number(i.portNumber),
            "device=" + i.device.value_or(QString()),
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

QStringList outcomeOf(const ParsedArguments& parsed)
{
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

// Each command line with the fields it is about, or after "!" a part of its refusal.
constexpr std::pair<const char*, const char*> kParses[] = {
    {"status", "command=status port=1 device= address=1 timeout=1000 format=text"},
    {"info --json --json", "command=info format=json"},
    {"start --port /dev/ttyUSB0", "command=start port=1 device=/dev/ttyUSB0"},
    {"--port /dev/x --port COM5 stop", "command=stop port=5 device="},
    {"clear --port com3", "command=clear port=3 device="},
    {"goal 3500 --verify", "command=goal value=003500 verify=1"},
    {"--address 255 actual ABC", "command=actual address=255 value=000ABC verify=0"},
    {"increment 7", "command=increment value=000007"},
    {"set-address 255 --verify", "command=set-address new=255"},
    {"scan --csv", "command=scan range=0-99 format=csv"},
    {"scan 5-5", "range=5-5"},
    {"watch", "command=watch interval=1000 count="},
    {"watch --interval 1 --count 1 --timeout 3600000", "interval=1 count=1 timeout=3600000"},
    {"watch --address 1,2,7", "address=1 addresses=1,2,7"},
    {"watch --address 1-4,9,3", "addresses=1,2,3,4,9"},
    {"watch --address 7-7", "addresses=7"},
    {"status --address 5", "addresses=5 reconnect=0 mqtt="},
    {"watch --reconnect --mqtt broker", "reconnect=1 mqtt=broker:1883/kxlt@:secret"},
    {"watch --topic plant/l1 --mqtt-user ops --mqtt 10.0.0.5:8883",
     "mqtt=10.0.0.5:8883/plant/l1@ops:secret"},
    {"status --help", "help"},
    {"-h", "help"},
    {"--version", "version"},
    {"", "!no command given"},
    {"STATUS", "!unknown command 'STATUS'"},
    {"status --verbose", "!unknown option '--verbose'"},
    {"status --timeout", "!--timeout needs a value"},
    {"goal", "!goal needs a value"},
    {"increment 5 6", "!too many words after increment"},
    {"scan 0-9 10-19", "!too many words after scan: '0-9 10-19'"},
    {"goal -5", "!goal '-5': A value takes the digits"},
    {"--port COM0 status", "!--port 'COM0': Give COM1 to COM5"},
    {"--port COM6 status", "!--port 'COM6': Give COM1 to COM5"},
    {"scan 5", "!scan '5': Give a range"},
    {"scan 1-5-9", "!scan '1-5-9': Give a range"},
    {"scan 0-256", "!scan '0-256': The address must"},
    {"scan 9-3", "!scan '9-3': FROM must not be above TO"},
    {"watch --count 0", "!--count '0': Give a whole number of replies, at least 1."},
    {"watch --interval 0", "!--interval '0': Give milliseconds from 1 to"},
    {"status --timeout 3600001", "!--timeout '3600001': Give milliseconds"},
    {"status --verify", "!--verify does not go with status"},
    {"status --csv", "!--csv does not go with status"},
    {"scan --interval 5", "!--interval does not go with scan"},
    {"status --count 5", "!--count does not go with status"},
    {"watch --csv --json", "!--json and --csv exclude each other"},
    {"increment 5 --verify", "!increment --verify: no reply carries"},
    {"status --address 1,2", "!--address takes a list of addresses only with watch"},
    {"watch --address 1,,2", "!--address '1,,2': "},
    {"watch --address 4-2", "!FROM must not be above TO"},
    {"watch --address 1-256", "!--address '1-256': The address must"},
    {"status --reconnect", "!--reconnect does not go with status"},
    {"watch --mqtt broker:0", "!--mqtt 'broker:0': Give the broker as HOST or HOST:PORT"},
    {"watch --mqtt :1883", "!Give the broker as HOST or HOST:PORT."},
    {"watch --mqtt b --topic a/#/b", "!--topic 'a/#/b': Give a topic prefix without + or #"},
    {"watch --topic plant", "!--topic and --mqtt-user go with --mqtt"},
};

} // namespace

class CtlOptionsTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { qputenv("KXLT_MQTT_PASSWORD", "secret"); }
    void parse()
    {
        for (const auto& [arguments, expected] : kParses) {
            const QStringList outcome =
                outcomeOf(parseArguments(QString(arguments).split(' ', Qt::SkipEmptyParts)));
            const QString shown = arguments + (": " + outcome.join(' '));
            if (expected[0] == '!')
                QVERIFY2(outcome.front().startsWith("refused: ") &&
                             outcome.front().contains(expected + 1),
                         qPrintable(shown));
            else
                for (const QString& field : QString(expected).split(' '))
                    QVERIFY2(outcome.contains(field), qPrintable(field + " not in " + shown));
        }
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
