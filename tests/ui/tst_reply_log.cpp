// The reply log: lines kept as they are appended, the change raised at once, lines copied.
#include "offscreen_test_main.h"

#include "ui/line_store.h"
#include "ui/reply_log.h"

#include <QClipboard>
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
        for (const QString& piece : appends)
            store.append(piece.toStdString());
        QCOMPARE(QString::fromStdString(store.text()), appends.join(QString()));
        QStringList shown;
        for (std::size_t i = 0; i < store.lineCount(); ++i)
            shown << QString::fromStdString(std::string(store.line(i)));
        QCOMPARE(shown, lines);
    }

    void changeIsRaisedBeforeTheCallReturns()
    {
        ReplyLog log;
        QString seenInHandler;
        connect(&log, &ReplyLog::changed, &log, [&] { seenInHandler = log.text(); });
        log.appendText("A\r\n");
        QCOMPARE(seenInHandler, QStringLiteral("A\r\n"));
    }

    void selectedLinesAreCopiedAsText()
    {
        ReplyLog log;
        log.resize(300, 200);
        log.show();
        log.appendText("FIRST\r\nSECOND\r\nTHIRD\r\n");
        QApplication::clipboard()->setText(QStringLiteral("before"));
        QTest::keySequence(&log, QKeySequence::Copy);
        QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("before"));
        QTest::keySequence(&log, QKeySequence::SelectAll);
        QTest::keySequence(&log, QKeySequence::Copy);
        QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("FIRST\nSECOND\nTHIRD\n"));
    }
};

KXLT_OFFSCREEN_TEST_MAIN(ReplyLogTest)
#include "tst_reply_log.moc"
