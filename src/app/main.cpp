#include "port/qt_serial_link.h"
#include "ui/main_window.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("KX-LT"));

    kxlt::port::QtSerialLink link;
    kxlt::ui::MainWindow window(link);
    window.show();
    return QApplication::exec();
}
