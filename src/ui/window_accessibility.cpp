// Names for screen readers and UI automation, and the keyboard's path through the window.
#include "ui/main_window.h"

#include "ui/reader_watch.h"
#include "ui/reply_log.h"

#include <QAccessible>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

namespace kxlt::ui {

namespace {

// Without the spaces that line the captions up on screen.
QString spoken(const QString& caption)
{
    return caption.simplified().replace(QStringLiteral(" :"), QStringLiteral(":"));
}

} // namespace

void MainWindow::nameControlsForAssistiveTools()
{
    // Buttons, groups and caption labels speak their own text. A box is named by the label that
    // names it on screen.
    const std::pair<QWidget*, QLabel*> namedBy[] = {
        {Txt_address1, Label27}, {Rbox1, Label8},     {len1, Label18},   {Txt_send1, Label19},
        {Set_target, Label10},   {Set_real, Label13}, {Set_add, Label3},
    };
    for (const auto& [control, label] : namedBy)
        control->setAccessibleName(label->text());
    Label27->setBuddy(Txt_address1);
    Label10->setBuddy(Set_target);
    Label13->setBuddy(Set_real);
    Label3->setBuddy(Set_add);

    // Qt's labels offer AT-SPI no text, only their name: a value label's name must carry the
    // caption beside it and the value itself.
    struct Figure {
        QLabel* label;
        QString caption;
        QString unit;
    };
    const Figure figures[] = {
        {DS_type, KX_type->title() + u':', {}},
        {DS_address, Label25->text(), {}},
        {Dis_serial, Label24->text(), {}},
        {Dis_version, Label23->text(), {}},
        {Dis_plan, Label2->text(), {}},
        // The seconds have only their unit on screen.
        {Dis_div, QStringLiteral("Seconds:"), {}},
        {Dis_real, Label15->text(), {}},
        {Dis_diff, Label17->text(), {}},
        {Dis_bidata, Label14->text(), Label1->text()},
    };
    for (const auto& [label, caption, unit] : figures)
        figureNames_.insert(label, (spoken(caption) + QStringLiteral(" %1 ") + unit).trimmed());
    connect(new ReaderWatch(this), &ReaderWatch::readerConnected, this, &MainWindow::nameFigures);
}

void MainWindow::showFigure(QLabel* figure, const QString& value)
{
    // Qt announces every setAccessibleName, even of the same name; an unchanged reading is no
    // news to someone listening to the automatic test.
    if (value == figure->text())
        return;
    figure->setText(value);
    // With no reader listening a new name is work nobody hears; the names wait for one to
    // connect.
    if (QAccessible::isActive())
        nameFigure(figure);
}

void MainWindow::nameFigure(QLabel* figure)
{
    figure->setAccessibleName(figureNames_.value(figure).arg(figure->text()));
}

// A reader that connects now hears what the labels show, however many replies came before it.
void MainWindow::nameFigures()
{
    for (QLabel* figure : figureNames_.keys())
        nameFigure(figure);
}

void MainWindow::orderTabStops()
{
    const QList<QWidget*> path = {
        Cmd_info,    Option1,  Option2,      Option3, Option4,   Option5,   Command5,   Command7,
        Cmd_address, Command6, Txt_address1, Rbox1,   len1,      Txt_send1, Set_target, Cmd_target,
        Set_real,    Cmd_real, Set_add,      Cmd_add, Cmd_start, Cmd_stop,  Cmd_clear};
    for (qsizetype i = 1; i < path.size(); ++i)
        setTabOrder(path[i - 1], path[i]);
}

} // namespace kxlt::ui
