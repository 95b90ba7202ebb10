// Names for screen readers and UI automation, and the keyboard's path through the window.
#include "ui/main_window.h"

#include "ui/reply_log.h"

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

namespace kxlt::ui {

void MainWindow::nameControlsForAssistiveTools()
{
    // Buttons, groups and caption labels speak their own text. A box or a value is named by
    // the label that names it on screen.
    const std::pair<QWidget*, QLabel*> namedBy[] = {
        {DS_address, Label25},   {Dis_serial, Label24}, {Dis_version, Label23},
        {Txt_address1, Label27}, {Rbox1, Label8},       {len1, Label18},
        {Txt_send1, Label19},    {Dis_plan, Label2},    {Dis_div, Label6},
        {Dis_real, Label15},     {Dis_diff, Label17},   {Dis_bidata, Label14},
        {Set_target, Label10},   {Set_real, Label13},   {Set_add, Label3},
    };
    for (const auto& [control, label] : namedBy)
        control->setAccessibleName(label->text());
    DS_type->setAccessibleName(KX_type->title());
    Label27->setBuddy(Txt_address1);
    Label10->setBuddy(Set_target);
    Label13->setBuddy(Set_real);
    Label3->setBuddy(Set_add);
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
