// The reply log: lines copied as text, its menu, and its repaint while lines pour in. That it
// raises its change, with the new text, before an append returns, the window's tests prove: the
// window decodes the reply line on that change.

#include "ui/reply_log.h"

#include <QClipboard>
#include <QContextMenuEvent>
#include <QMenu>
#include <QScrollBar>
#include <QTest>

#include <string>

using kxlt::ui::ReplyLog;

class ReplyLogTest : public QObject {
    Q_OBJECT

private slots:
    // Nothing is copied without a selection; a click picks the line under it, scrolled or not, and
    // a shift-click or a drag extends the choice, either way. Brought to its end once, the log
    // stays where the operator scrolls it as lines come.
    void selectedLinesAreCopiedAsText()
    {
        ReplyLog log;
        log.resize(300, 200);
        log.show();
        QTest::keySequence(&log, QKeySequence::SelectAll); // an empty log has nothing to select
        for (int i = 0; i < 99; ++i)
            log.appendText("L" + std::to_string(i) + "\r\n");
        QApplication::clipboard()->setText(QStringLiteral("before"));
        QTest::keySequence(&log, QKeySequence::Copy);
        QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("before"));
        log.moveCaretToEnd();
        QTRY_VERIFY(log.verticalScrollBar()->value() >= 40);
        log.verticalScrollBar()->setValue(40);
        log.appendText("L99\r\n");
        QTest::qWait(50);
        const int row = log.fontMetrics().height();
        QTest::mouseClick(log.viewport(), Qt::LeftButton, {}, QPoint(5, 2 * row + row / 2));
        QTest::mouseClick(log.viewport(), Qt::LeftButton, Qt::ShiftModifier, QPoint(5, row / 2));
        QTest::keySequence(&log, QKeySequence::Copy);
        QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("L40\nL41\nL42\n"));
        // Dragged down over three lines and back one; the arrows scroll by a line.
        QTest::mousePress(log.viewport(), Qt::LeftButton, {}, QPoint(5, row / 2));
        QTest::mouseMove(log.viewport(), QPoint(5, 2 * row + row / 2));
        QTest::mouseMove(log.viewport(), QPoint(5, row + row / 2));
        QTest::mouseRelease(log.viewport(), Qt::LeftButton, {}, QPoint(5, row + row / 2));
        QTest::keySequence(&log, QKeySequence::Copy);
        QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("L40\nL41\n"));
        QTest::keyClick(&log, Qt::Key_Down);
        QCOMPARE(log.verticalScrollBar()->value(), 41);
        // The screen, not a fresh paint, shows the last line as a text box shows text, then
        // selected with every other.
        log.moveCaretToEnd();
        const QPoint lastLine =
            log.viewport()->geometry().topRight() +
            QPoint(-2, (99 - log.verticalScrollBar()->maximum()) * row + row / 2);
        for (const auto role : {QPalette::Base, QPalette::Highlight}) {
            if (role == QPalette::Highlight)
                QTest::keySequence(&log, QKeySequence::SelectAll);
            QTest::qWait(50);
            QCOMPARE(log.screen()->grabWindow(log.winId()).toImage().pixelColor(lastLine),
                     log.palette().color(role));
        }
        QTest::keySequence(&log, QKeySequence::Copy);
        QCOMPARE(QApplication::clipboard()->text().count('\n'), 100);
    }

    // The context menu, where it was asked for, offers Copy only for a selection.
    void contextMenuCopiesASelection()
    {
        ReplyLog log;
        log.move(100, 100);
        log.show();
        log.appendText("FIRST\r\n");
        QStringList offered;
        for (const bool selected : {false, true}) {
            if (selected)
                QTest::keySequence(&log, QKeySequence::SelectAll);
            QTimer::singleShot(50, &log, [&offered] {
                for (QAction* action : QApplication::activePopupWidget()->actions())
                    offered << action->text() + (action->isEnabled() ? "" : " (off)");
                offered << QString::number(QApplication::activePopupWidget()->x());
                QApplication::activePopupWidget()->close();
            });
            QContextMenuEvent event(QContextMenuEvent::Keyboard, QPoint(5, 5),
                                    log.mapToGlobal(QPoint(5, 5)));
            QApplication::sendEvent(log.viewport(), &event);
        }
        QCOMPARE(offered.join(", "),
                 QStringLiteral("&Copy (off), Select &All, %1, &Copy, Select &All, %1")
                     .arg(log.mapToGlobal(QPoint(5, 5)).x()));
    }

    // Lines coming faster than the screen refreshes still show, a line built in pieces as wide as
    // one appended whole.
    void repaintsWhileLinesPourIn()
    {
        ReplyLog pieces, whole;
        for (ReplyLog* log : {&pieces, &whole}) {
            log->resize(200, 100);
            log->show();
            log->appendText("short\r\n");
        }
        for (int i = 0; i < 40 && pieces.verticalScrollBar()->maximum() == 0; ++i) {
            pieces.appendText("0123456789");
            pieces.appendText("\r\n");
            whole.appendText("0123456789\r\n");
            QTest::qWait(5);
        }
        QVERIFY(pieces.verticalScrollBar()->maximum() > 0);
        pieces.appendText("x");
        pieces.appendText(std::string(300, 'y') + "\r\n");
        whole.appendText("x" + std::string(300, 'y') + "\r\n");
        QTRY_VERIFY(whole.horizontalScrollBar()->maximum() > 0);
        QTRY_COMPARE(pieces.horizontalScrollBar()->maximum(),
                     whole.horizontalScrollBar()->maximum());
        // Scrolled sideways by 10 pixels, the lines move by as many.
        const QImage unscrolled = pieces.viewport()->grab().toImage();
        pieces.horizontalScrollBar()->setValue(10);
        const QRect kept = unscrolled.rect().adjusted(0, 0, -10, 0);
        QCOMPARE(pieces.viewport()->grab().toImage().copy(kept),
                 unscrolled.copy(kept.translated(10, 0)));
        pieces.resize(200, 2000); // made tall enough for every line
        QCOMPARE(pieces.verticalScrollBar()->maximum(), 0);
    }
};

QTEST_MAIN(ReplyLogTest)
#include "tst_reply_log.moc"
