// What screen readers and UI automation find: a name for every control, and the log's text
// answered from its lines exactly as the whole text would answer.
#include "reply_bytes.h"
#include "window_fixture.h"

#include "ui/reply_log.h"
#include "ui/reply_log_accessible.h"

#include <QAccessible>
#include <QAccessibleInterface>
#include <QTest>

using kxlt::ui::ReplyLog;
using Text = QAccessibleTextInterface;

namespace {

// A span of the log's text as a failing comparison shows it.
QString span(int start, int end, const QString& text)
{
    return QStringLiteral("%1..%2 \"%3\"").arg(start).arg(end).arg(text);
}

// What a query of the text interface answers at an offset, as a span.
template <typename Query>
QString spanOf(QAccessibleTextInterface* text, Query query, int offset,
               QAccessible::TextBoundaryType boundary = QAccessible::LineBoundary)
{
    int start = 0, end = 0;
    const QString line = (text->*query)(offset, boundary, &start, &end);
    return span(start, end, line);
}

} // namespace

class AccessibilityTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { QAccessible::installFactory(&kxlt::ui::replyLogAccessible); }

    // The offscreen platform has no screen reader: the window hears one connect only through
    // QAccessible::setActive. What a reader hears of each figure is proven on the AT-SPI bus.
    void aReaderConnectingLateHearsTheLatestReply()
    {
        WindowOnFake{}; // a window gone must not hear the reader
        WindowOnFake ui;
        QVERIFY(ui.openPort());
        ui.link.receive(replyBytes({}));
        auto* label = ui.get<QLabel>("Dis_bidata");
        // Names are not kept up to date while nobody listens.
        QCOMPARE(label->accessibleName(), QString());
        QAccessible::setActive(true);
        QCOMPARE(label->accessibleName(), QStringLiteral("EFFICIENCY: 50 %"));
    }

    // Appends (between bars) ending with a line break, and then inside a line: a character cut
    // between two appends, one outside the Basic Multilingual Plane (two UTF-16 units), an empty
    // line and a line built in pieces.
    void logAnswersAsItsWholeTextWould()
    {
        const QByteArrayList mixed =
            QByteArray("5400\r\n|Com |Error\r\n|\r\n|\xE4|\xB8\xB2\n|\xF0\x9F\x98\x80 ok\r\n")
                .split('|');
        for (const QByteArrayList& appends : {mixed, mixed + QByteArrayList{"last"}}) {
            ReplyLog log;
            for (const QByteArray& piece : appends)
                log.appendText(piece.toStdString());
            const QString all = log.text();
            QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(&log);
            QVERIFY(accessible->state().readOnly);
            QVERIFY(accessible->actionInterface());
            QAccessibleTextInterface* text = accessible->textInterface();
            QCOMPARE(text->characterCount(), int(all.size()));
            QCOMPARE(text->cursorPosition(), int(all.size()));

            // Every line without its break, as the log shows it, and the empty line after a final
            // break.
            QStringList lines;
            QList<int> starts;
            int start = 0;
            for (const QString& line : all.split(QLatin1Char('\n'))) {
                const QString shown = line.endsWith(QLatin1Char('\r')) ? line.chopped(1) : line;
                starts << start;
                lines << span(start, start + int(shown.size()), shown);
                start += int(line.size()) + 1;
            }
            const qsizetype shownLines =
                all.endsWith(QLatin1Char('\n')) ? lines.size() - 1 : lines.size();
            const QString none = span(int(all.size()), int(all.size()), {});
            qsizetype line = 0;
            for (int offset = 0; offset <= all.size(); ++offset) {
                while (line + 1 < lines.size() && starts[line + 1] <= offset)
                    ++line;
                QCOMPARE(spanOf(text, &Text::textAtOffset, offset), lines[line]);
                int runStart = -1, runEnd = -1;
                text->attributes(offset, &runStart, &runEnd);
                QCOMPARE(QPoint(runStart, runEnd), QPoint(offset, offset));
                QCOMPARE(spanOf(text, &Text::textBeforeOffset, offset),
                         line > 0 ? lines[line - 1] : span(0, 0, {}));
                QCOMPARE(spanOf(text, &Text::textAfterOffset, offset),
                         line + 1 < shownLines ? lines[line + 1] : none);
                // The characters before, at and after, whose texts are checked with the slices
                // below.
                const int size = int(all.size()), before = std::max(offset - 1, 0);
                const int after = std::min(offset + 1, size), next = std::min(offset + 2, size);
                QString chars;
                for (const auto query :
                     {&Text::textBeforeOffset, &Text::textAtOffset, &Text::textAfterOffset})
                    chars += spanOf(text, query, offset, QAccessible::CharBoundary);
                QCOMPARE(chars, span(before, offset, text->text(before, offset)) +
                                    span(offset, after, text->text(offset, after)) +
                                    span(after, next, text->text(after, next)));
            }
            // A slice never cuts a surrogate pair.
            const auto cutsPair = [&all](int at) {
                return at < all.size() && all[at].isLowSurrogate();
            };
            for (int start = 0; start <= all.size(); ++start)
                for (int end = start; end <= all.size(); ++end)
                    if (!cutsPair(start) && !cutsPair(end))
                        QCOMPARE(text->text(start, end), all.mid(start, end - start));
        }
    }
};

QTEST_MAIN(AccessibilityTest)
#include "tst_accessibility.moc"
