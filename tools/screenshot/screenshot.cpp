// Usage: kxlt-screenshot WINDOW.png LOG.png
// Opens COM1, loads goal and actual, starts the board and the automatic test, lets replies come
// in for a few seconds, then saves the window, and the window with its log in view after Hide.
#include "port/qt_serial_link.h"
#include "ui/main_window.h"

#include <QApplication>
#include <QEventLoop>
#include <QPushButton>
#include <QTimer>

#include <cstdio>

namespace {

void click(QWidget& window, const char* name)
{
    if (auto* button = window.findChild<QPushButton*>(QLatin1String(name)))
        button->click();
}

void runFor(int milliseconds)
{
    QEventLoop loop;
    QTimer::singleShot(milliseconds, &loop, &QEventLoop::quit);
    loop.exec();
}

} // namespace

int main(int argc, char* argv[])
{
    QApplication application(argc, argv);
    if (argc != 3) {
        std::fprintf(stderr, "usage: kxlt-screenshot WINDOW.png LOG.png\n");
        return 2;
    }
    kxlt::port::QtSerialLink link;
    kxlt::ui::MainWindow window(link);
    window.show();

    click(window, "Command5");
    if (!link.portOpen()) {
        std::fprintf(stderr, "COM1 did not open: %s\n", qPrintable(link.openFailure()));
        return 1;
    }
    for (const char* name : {"Cmd_info", "Cmd_target", "Cmd_real", "Cmd_start", "Command7"}) {
        click(window, name);
        runFor(200);
    }
    runFor(3500);
    window.grab().save(QString::fromLocal8Bit(argv[1]));
    click(window, "Command6");
    runFor(2500);
    window.grab().save(QString::fromLocal8Bit(argv[2]));
    return 0;
}
