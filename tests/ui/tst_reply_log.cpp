// The reply log: the change raised before an append returns, and lines copied as text.
#include "offscreen_test_main.h"

#include "ui/reply_log.h"

#include <QClipboard>
#include <QSignalSpy>
#include <QTest>

using kxlt::ui::ReplyLog;

class ReplyLogTest : public QObject {
    Q_OBJECT

private slots:
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
