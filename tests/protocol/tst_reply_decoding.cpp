// The sums the window shows for a reply. Goal and actual are cut from the reply's line as captions
// of six digits; difference = actual - goal, efficiency = actual * 100 / goal.

#include "protocol/reply_decoding.h"

#include <QString>
#include <QTest>

#include <optional>
#include <string>

using namespace kxlt::protocol;

static QString shown(const std::optional<std::string>& text)
{
    return text ? QString::fromStdString(*text) : QStringLiteral("-");
}

class TestReplyDecoding : public QObject {
    Q_OBJECT

private slots:
    // "actual goal => difference efficiency", "-" where there is nothing to show.
    void differenceAndEfficiency()
    {
        const char* const table[] = {
            // Behind the goal: a negative difference, whole numbers without a point.
            "001000 002000 => -1000 50",
            // A third shows 15 significant digits.
            "001000 003000 => -2000 33.3333333333333",
            "000500 000000 => 500 -",
            // Hex letters, E in the goal no exponent, the empty captions after Com Error.
            "00A000 002000 => - -",
            "001000 00E000 => - -",
            " => - -",
        };
        for (const QString row : table) {
            const QStringList captions = row.section(" =>", 0, 0).split(' ');
            const std::string actual = captions.value(0).toStdString();
            const std::string goal = captions.value(1).toStdString();
            QCOMPARE(row.section("=> ", 0, 0) + "=> " + shown(differenceText(actual, goal)) + ' ' +
                         shown(efficiencyText(actual, goal)),
                     row);
        }
    }
};

QTEST_APPLESS_MAIN(TestReplyDecoding)
#include "tst_reply_decoding.moc"
