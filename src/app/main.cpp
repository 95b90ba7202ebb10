#include "port/qt_serial_link.h"
#include "ui/main_window.h"
#include "ui/reply_log_accessible.h"

#include <QAccessible>
#include <QApplication>

int main(int argc, char* argv[])
{
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("KX-LT"));
    QAccessible::installFactory(&kxlt::ui::replyLogAccessible);

    kxlt::port::QtSerialLink link;
    kxlt::ui::MainWindow window(link);
    window.show();
    return QApplication::exec();
}
