// The sums the window shows for a reply. Goal and actual are cut from the reply's line as captions
// of six digits; difference = actual - goal, efficiency = actual * 100 / goal.

#include "protocol/reply_decoding.h"

#include <QString>
#include <QTest>

#include <optional>
#include <string>

using namespace kxlt::protocol;

namespace {

QString shown(const std::optional<std::string>& text)
{
    return text ? QString::fromStdString(*text) : QStringLiteral("(nothing)");
}

void sums(const char* name, const QString& actual, const QString& goal, const QString& difference,
          const QString& efficiency)
{
    QTest::newRow(name) << actual << goal << difference << efficiency;
}

} // namespace

class TestReplyDecoding : public QObject {
    Q_OBJECT

private slots:
    void differenceAndEfficiency_data()
    {
        QTest::addColumn<QString>("actual");
        QTest::addColumn<QString>("goal");
        QTest::addColumn<QString>("difference");
        QTest::addColumn<QString>("efficiency");

        sums("behind the goal: a negative difference, whole numbers without a point", "001000",
             "002000", "-1000", "50");
        sums("a third shows 15 significant digits", "001000", "003000", "-2000",
             "33.3333333333333");
        sums("goal 0 gives a difference but no efficiency", "000500", "000000", "500", "(nothing)");
        sums("a hex letter in the actual caption gives neither", "00A000", "002000", "(nothing)",
             "(nothing)");
        sums("E in the goal caption is no exponent and gives neither", "001000", "00E000",
             "(nothing)", "(nothing)");
        sums("the empty captions after Com Error give neither", "", "", "(nothing)", "(nothing)");
    }
    void differenceAndEfficiency()
    {
        QFETCH(QString, actual);
        QFETCH(QString, goal);
        QFETCH(QString, difference);
        QFETCH(QString, efficiency);
        const std::string a = actual.toStdString();
        const std::string g = goal.toStdString();
        QCOMPARE(shown(differenceText(a, g)), difference);
        QCOMPARE(shown(efficiencyText(a, g)), efficiency);
    }
};

QTEST_APPLESS_MAIN(TestReplyDecoding)
#include "tst_reply_decoding.moc"
