// Builds the window's controls: names, captions, defaults, fonts and the two-column arrangement.
#include "ui/main_window.h"
#include "ui/reply_log.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QVBoxLayout>

namespace kxlt::ui {

namespace {

constexpr double kTextPointSize = 8.25;
constexpr double kDisplayPointSize = 9.75;
constexpr double kTitlePointSize = 12;

template <typename Widget> Widget* named(const char* objectName, Widget* widget)
{
    widget->setObjectName(QLatin1String(objectName));
    return widget;
}

QLabel* label(const char* objectName, const QString& caption)
{
    return named(objectName, new QLabel(caption));
}

QPushButton* button(const char* objectName, const QString& caption)
{
    return named(objectName, new QPushButton(caption));
}

QLineEdit* textBox(const char* objectName, const QString& text, int maxLength = 32767)
{
    auto* box = named(objectName, new QLineEdit(text));
    box->setMaxLength(maxLength);
    return box;
}

void setPointSize(QWidget* widget, double pointSize, bool bold = false)
{
    QFont font = widget->font();
    font.setPointSizeF(pointSize);
    font.setBold(bold);
    widget->setFont(font);
}

} // namespace

void MainWindow::buildControls()
{
    setWindowTitle(QStringLiteral("VORAN display board"));
    QFont windowFont(QStringLiteral("MS Sans Serif"));
    windowFont.setStyleHint(QFont::SansSerif);
    windowFont.setPointSizeF(kTextPointSize);
    setFont(windowFont);

    Timer1 = named("Timer1", new QTimer(this));

    Label18 = label("Label18", QStringLiteral("Recieveing data"));
    len1 = textBox("len1", QStringLiteral("Text1"));
    Label19 = label("Label19", QStringLiteral("Send data"));
    Txt_send1 = textBox("Txt_send1", QString());
    Label21 = label("Label21", QStringLiteral("Display Board testing System"));
    setPointSize(Label21, kTitlePointSize);
    Label20 = label("Label20", QStringLiteral("Ver 3.0b"));

    // The log lies beneath the "Serial Port" group and shows once the group is hidden.
    auto* portOrLog = new QGridLayout;
    portOrLog->addWidget(buildLogArea(), 0, 0);
    portOrLog->addWidget(buildSerialPortGroup(), 0, 0);
    Frame3->setAutoFillBackground(true);

    auto* left = new QVBoxLayout;
    left->addWidget(buildPartTypeGroup());
    left->addLayout(portOrLog, 1);
    for (QWidget* widget :
         std::initializer_list<QWidget*>{Label18, len1, Label19, Txt_send1, Label21, Label20})
        left->addWidget(widget);

    auto* right = new QVBoxLayout;
    // "Set data" starts level with the lower part of the "Serial Port" group.
    right->addWidget(buildDisplayDataGroup());
    right->addStretch(1);
    right->addWidget(buildSetDataGroup());
    right->addStretch(1);

    auto* columns = new QHBoxLayout(this);
    columns->addLayout(left, 9);
    columns->addLayout(right, 10);
}

QGroupBox* MainWindow::buildPartTypeGroup()
{
    KX_type = named("KX_type", new QGroupBox(QStringLiteral("Part type")));
    DS_type = label("DS_type", {});
    setPointSize(DS_type, kTitlePointSize, true);
    Cmd_info = button("Cmd_info", QStringLiteral("Information"));
    Label25 = label("Label25", QStringLiteral("Part Addr:"));
    Label24 = label("Label24", QStringLiteral("SN:"));
    Label23 = label("Label23", QStringLiteral("Version:"));
    DS_address = label("DS_address", {});
    Dis_serial = label("Dis_serial", {});
    Label26 = label("Label26", QStringLiteral("V"));
    Dis_version = label("Dis_version", {});

    auto* version = new QHBoxLayout;
    version->setSpacing(0);
    version->addWidget(Label26);
    version->addWidget(Dis_version);
    version->addStretch(1);

    auto* grid = new QGridLayout(KX_type);
    grid->addWidget(DS_type, 0, 0, 1, 2);
    grid->addWidget(Cmd_info, 0, 2);
    grid->addWidget(Label25, 1, 0);
    grid->addWidget(Label24, 1, 1);
    grid->addWidget(Label23, 1, 2);
    grid->addWidget(DS_address, 2, 0);
    grid->addWidget(Dis_serial, 2, 1);
    grid->addLayout(version, 2, 2);
    return KX_type;
}

QGroupBox* MainWindow::buildSerialPortGroup()
{
    Frame3 = named("Frame3", new QGroupBox(QStringLiteral("Serial Port")));
    Option1 = named("Option1", new QRadioButton(QStringLiteral("COM1")));
    Option2 = named("Option2", new QRadioButton(QStringLiteral("COM2")));
    Option3 = named("Option3", new QRadioButton(QStringLiteral("COM3")));
    Option4 = named("Option4", new QRadioButton(QStringLiteral("COM4")));
    Option5 = named("Option5", new QRadioButton(QStringLiteral("COM5")));
    portOptions_ = {Option1, Option2, Option3, Option4, Option5};
    Command5 = button("Command5", QStringLiteral("Open port"));
    Command7 = button("Command7", QStringLiteral("Start  test"));
    Cmd_address = button("Cmd_address", QStringLiteral("Set Addr"));
    setPointSize(Cmd_address, kTextPointSize, true);
    Command6 = button("Command6", QStringLiteral("Hide"));
    Label27 = label("Label27", QStringLiteral("Address"));
    Txt_address1 = textBox("Txt_address1", QStringLiteral("01"), 2);

    auto* grid = new QGridLayout(Frame3);
    for (int row = 0; row < static_cast<int>(portOptions_.size()); ++row)
        grid->addWidget(portOptions_[static_cast<std::size_t>(row)], row, 0);
    grid->addWidget(Command5, 0, 1, 1, 2);
    grid->addWidget(Command7, 1, 1, 1, 2);
    grid->addWidget(Cmd_address, 2, 1, 1, 2);
    grid->addWidget(Command6, 5, 0);
    grid->addWidget(Label27, 5, 1, Qt::AlignRight);
    grid->addWidget(Txt_address1, 5, 2);
    return Frame3;
}

QWidget* MainWindow::buildLogArea()
{
    Label8 = label("Label8", QStringLiteral("---------\u4E32\u53E3\u6570\u636E---------"));
    Rbox1 = named("Rbox1", new ReplyLog);

    auto* area = new QWidget;
    auto* column = new QVBoxLayout(area);
    column->setContentsMargins(0, 0, 0, 0);
    column->addWidget(Label8, 0, Qt::AlignHCenter);
    column->addWidget(Rbox1, 1);
    return area;
}

QGroupBox* MainWindow::buildDisplayDataGroup()
{
    dis_time = named("dis_time", new QGroupBox(QStringLiteral("Display Data")));
    Label2 = label("Label2", QStringLiteral("GOAL:"));
    Dis_plan = label("Dis_plan", {});
    Dis_div = label("Dis_div", {});
    Label6 = label("Label6", QStringLiteral("s"));
    Label15 = label("Label15", QStringLiteral("ACTUAL:"));
    Dis_real = label("Dis_real", {});
    Label17 = label("Label17", QStringLiteral("DIFFERENCE:"));
    Dis_diff = label("Dis_diff", {});
    Label14 = label("Label14", QStringLiteral("EFFICIENCY  :"));
    Dis_bidata = label("Dis_bidata", {});
    Label1 = label("Label1", QStringLiteral("%"));

    auto* grid = new QGridLayout(dis_time);
    grid->addWidget(Label2, 0, 0);
    grid->addWidget(Dis_plan, 0, 1);
    grid->addWidget(Dis_div, 0, 2, Qt::AlignRight);
    grid->addWidget(Label6, 0, 3);
    grid->addWidget(Label15, 1, 0);
    grid->addWidget(Dis_real, 1, 1);
    grid->addWidget(Label17, 2, 0);
    grid->addWidget(Dis_diff, 2, 1);
    grid->addWidget(Label14, 3, 0);
    grid->addWidget(Dis_bidata, 3, 1);
    grid->addWidget(Label1, 3, 2);
    grid->setColumnStretch(1, 1);
    for (QLabel* each : dis_time->findChildren<QLabel*>())
        setPointSize(each, kDisplayPointSize);
    // Room for the longest figure, so the window keeps its size as replies come in.
    Dis_bidata->setMinimumWidth(
        Dis_bidata->fontMetrics().horizontalAdvance(QStringLiteral("-0.00000000000000")));
    return dis_time;
}

QGroupBox* MainWindow::buildSetDataGroup()
{
    Frame1 = named("Frame1", new QGroupBox(QStringLiteral("Set data")));
    Label10 = label("Label10", QStringLiteral("GOAL  NUMBER:"));
    Set_target = textBox("Set_target", QStringLiteral("3500"), 4);
    Cmd_target = button("Cmd_target", QStringLiteral("SET"));
    Label13 = label("Label13", QStringLiteral("ACTUAL NUMBER:"));
    Set_real = textBox("Set_real", QStringLiteral("2000"), 4);
    Cmd_real = button("Cmd_real", QStringLiteral("SET"));
    Label3 = label("Label3", QStringLiteral("INCREMENT:"));
    Set_add = textBox("Set_add", QStringLiteral("10"), 3);
    Cmd_add = button("Cmd_add", QStringLiteral("SET"));
    Cmd_start = button("Cmd_start", QStringLiteral("Start"));
    Cmd_stop = button("Cmd_stop", QStringLiteral("Stop"));
    Cmd_clear = button("Cmd_clear", QStringLiteral("Clear"));

    auto* controls = new QHBoxLayout;
    controls->addWidget(Cmd_start);
    controls->addWidget(Cmd_stop);
    controls->addWidget(Cmd_clear);

    auto* grid = new QGridLayout(Frame1);
    grid->addWidget(Label10, 0, 0);
    grid->addWidget(Set_target, 0, 1);
    grid->addWidget(Cmd_target, 0, 2);
    grid->addWidget(Label13, 1, 0);
    grid->addWidget(Set_real, 1, 1);
    grid->addWidget(Cmd_real, 1, 2);
    grid->addWidget(Label3, 2, 0);
    grid->addWidget(Set_add, 2, 1);
    grid->addWidget(Cmd_add, 2, 2);
    grid->addLayout(controls, 3, 0, 1, 3);
    return Frame1;
}

} // namespace kxlt::ui
