// The reply log: appending has the effect of setting the whole text, lines are kept and shown.
#include "offscreen_test_main.h"

#include "ui/line_store.h"
#include "ui/reply_log.h"

#include <QClipboard>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>

using kxlt::ui::LineStore;
using kxlt::ui::ReplyLog;

class ReplyLogTest : public QObject {
    Q_OBJECT

private slots:
    void storeSplitsLines_data()
    {
        QTest::addColumn<QStringList>("appends");
        QTest::addColumn<QStringList>("lines");
        QTest::newRow("nothing") << QStringList{} << QStringList{};
        QTest::newRow("one line with CR LF") << QStringList{"ABC\r\n"} << QStringList{"ABC"};
        QTest::newRow("two lines in two appends")
            << QStringList{"A\r\n", "B\r\n"} << QStringList{"A", "B"};
        QTest::newRow("a line built in pieces")
            << QStringList{"AB", "C\r", "\nD"} << QStringList{"ABC", "D"};
        QTest::newRow("empty lines stay") << QStringList{"\r\n\r\nX"} << QStringList{"", "", "X"};
        QTest::newRow("bare line feeds") << QStringList{"A\nB\n"} << QStringList{"A", "B"};
    }
    void storeSplitsLines()
    {
        QFETCH(QStringList, appends);
        QFETCH(QStringList, lines);
        LineStore store;
        LineStore replaced;
        std::string whole;
        for (const QString& piece : appends) {
            store.append(piece.toStdString());
            whole += piece.toStdString();
        }
        replaced.replace(whole);
        for (const LineStore* each : {&store, &replaced}) {
            QCOMPARE(each->text(), whole);
            QStringList shown;
            for (std::size_t i = 0; i < each->lineCount(); ++i)
                shown << QString::fromStdString(std::string(each->line(i)));
            QCOMPARE(shown, lines);
        }
        QCOMPARE(store.longestLineBytes(), replaced.longestLineBytes());
    }

    void appendEqualsSettingOldTextPlusLine()
    {
        ReplyLog appended;
        ReplyLog set;
        for (const char* line : {"5400\r\n", "Com Error\r\n", "\xE4\xB8\xB2\r\n"}) {
            appended.appendText(line);
            set.setText(set.text() + QString::fromUtf8(line));
        }
        QCOMPARE(appended.text(), set.text());
        QCOMPARE(appended.lineCount(), std::size_t(3));
    }

    void changeIsRaisedBeforeTheCallReturns()
    {
        ReplyLog log;
        QString seenInHandler;
        connect(&log, &ReplyLog::changed, &log, [&] { seenInHandler = log.text(); });
        log.appendText("A\r\n");
        QCOMPARE(seenInHandler, QStringLiteral("A\r\n"));
        log.setText(QStringLiteral("B"));
        QCOMPARE(seenInHandler, QStringLiteral("B"));
    }

    void selectedLinesAreCopiedAsText()
    {
        ReplyLog log;
        log.resize(300, 200);
        log.show();
        log.appendText("FIRST\r\nSECOND\r\nTHIRD\r\n");
        QVERIFY(log.selectedText().isEmpty());
        log.selectAll();
        QTest::keySequence(&log, QKeySequence::Copy);
        QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("FIRST\nSECOND\nTHIRD\n"));
    }

    void newestLineComesIntoView()
    {
        ReplyLog log;
        log.resize(300, 100);
        log.show();
        for (int i = 0; i < 500; ++i)
            log.appendText("545454\r\n");
        log.moveCaretToEnd();
        auto* bar = log.verticalScrollBar();
        QTRY_VERIFY(bar->maximum() > 0);
        QTRY_COMPARE(bar->value(), bar->maximum());
        QCOMPARE(std::size_t(bar->maximum() + bar->pageStep()), log.lineCount());
    }
};

KXLT_OFFSCREEN_TEST_MAIN(ReplyLogTest)
#include "tst_reply_log.moc"
