// What screen readers and UI automation find: a name for every control, the log's lines as
// text, and a tab order that follows the layout.
#include "fake_serial_link.h"
#include "offscreen_test_main.h"
#include "window_controls.h"

#include "ui/main_window.h"
#include "ui/reply_log.h"

#include <QAccessible>
#include <QAccessibleInterface>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <memory>

using kxlt::ui::MainWindow;
using kxlt::ui::ReplyLog;

namespace {

QString accessibleName(QWidget* widget)
{
    QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(widget);
    return accessible ? accessible->text(QAccessible::Name) : QString();
}

} // namespace

class AccessibilityTest : public QObject {
    Q_OBJECT

private:
    FakeSerialLink* link = nullptr;
    std::unique_ptr<MainWindow> window;

private slots:
    void init()
    {
        link = new FakeSerialLink;
        window = std::make_unique<MainWindow>(*link);
        link->setParent(window.get());
        window->show();
    }
    void cleanup() { window.reset(); }

    void everyControlHasAName()
    {
        const QList<QWidget*> controls = window->findChildren<QWidget*>();
        int checked = 0;
        for (QWidget* widget : controls) {
            if (widget->objectName().isEmpty() ||
                widget->objectName().startsWith(QLatin1String("qt_")))
                continue;
            QVERIFY2(!accessibleName(widget).isEmpty(), qPrintable(widget->objectName()));
            ++checked;
        }
        QVERIFY2(checked >= 55, qPrintable(QString::number(checked)));
    }

    void boxesAndValuesAreNamedByTheirLabels_data()
    {
        QTest::addColumn<QString>("control");
        QTest::addColumn<QString>("name");
        QTest::newRow("goal box") << "Set_target"
                                  << "GOAL  NUMBER:";
        QTest::newRow("actual box") << "Set_real"
                                    << "ACTUAL NUMBER:";
        QTest::newRow("increment box") << "Set_add"
                                       << "INCREMENT:";
        QTest::newRow("address box") << "Txt_address1"
                                     << "Address";
        QTest::newRow("received line") << "len1"
                                       << "Recieveing data";
        QTest::newRow("sent frame") << "Txt_send1"
                                    << "Send data";
        QTest::newRow("goal value") << "Dis_plan"
                                    << "GOAL:";
        QTest::newRow("actual value") << "Dis_real"
                                      << "ACTUAL:";
        QTest::newRow("difference value") << "Dis_diff"
                                          << "DIFFERENCE:";
        QTest::newRow("efficiency value") << "Dis_bidata"
                                          << "EFFICIENCY  :";
        QTest::newRow("serial number") << "Dis_serial"
                                       << "SN:";
        QTest::newRow("board address") << "DS_address"
                                       << "Part Addr:";
        QTest::newRow("part type") << "DS_type"
                                   << "Part type";
        QTest::newRow("a button speaks its caption") << "Command7"
                                                     << "Start  test";
    }
    void boxesAndValuesAreNamedByTheirLabels()
    {
        QFETCH(QString, control);
        QFETCH(QString, name);
        QCOMPARE(accessibleName(window->findChild<QWidget*>(control)), name);
    }

    void logLinesAreReadableAsText()
    {
        auto* log = control<ReplyLog>(*window, "Rbox1");
        link->receive(QByteArray(27, '\xAA'));
        link->receive(QByteArray::fromHex("5420202020202020200020000000100000500000001234563001"
                                          "00"));
        QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(log);
        QVERIFY(accessible);
        QAccessibleTextInterface* text = accessible->textInterface();
        QVERIFY(text);
        QCOMPARE(text->characterCount(), int(log->text().size()));
        QCOMPARE(text->text(0, text->characterCount()), log->text());
        int start = 0;
        int end = 0;
        QCOMPARE(text->textAtOffset(60, QAccessible::LineBoundary, &start, &end),
                 QStringLiteral("Com Error"));
        QCOMPARE(text->textAtOffset(3, QAccessible::LineBoundary, &start, &end),
                 QString(56, QLatin1Char('0')));
        QCOMPARE(text->textAfterOffset(3, QAccessible::LineBoundary, &start, &end),
                 QStringLiteral("Com Error"));
        QCOMPARE(text->textBeforeOffset(60, QAccessible::LineBoundary, &start, &end),
                 QString(56, QLatin1Char('0')));
        QVERIFY(accessible->state().readOnly);
    }

    void tabOrderFollowsTheLayout()
    {
        const QStringList expected = {
            "Cmd_info", "Option1",   "Option2",     "Option3",    "Option4",      "Option5",
            "Command5", "Command7",  "Cmd_address", "Command6",   "Txt_address1", "Rbox1",
            "len1",     "Txt_send1", "Set_target",  "Cmd_target", "Set_real",     "Cmd_real",
            "Set_add",  "Cmd_add",   "Cmd_start",   "Cmd_stop",   "Cmd_clear"};
        QStringList visited;
        QWidget* widget = control<QWidget>(*window, "Cmd_info");
        while (visited.size() < expected.size()) {
            if (widget->focusPolicy() & Qt::TabFocus && !widget->objectName().isEmpty())
                visited << widget->objectName();
            widget = widget->nextInFocusChain();
        }
        QCOMPARE(visited, expected);
    }
};

KXLT_OFFSCREEN_TEST_MAIN(AccessibilityTest)
#include "tst_accessibility.moc"
