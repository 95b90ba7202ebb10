#pragma once

#include "pseudo_terminal.h"
#include "window_controls.h"

#include "port/qt_serial_link.h"
#include "ui/main_window.h"

#include <QAbstractButton>
#include <QSignalSpy>

#include <memory>

// The operator's window with a pseudo-terminal behind COM1, opened through the same QSerialPort
// code as on a real line; the far end is the test's to play the board.
struct WindowOnLine {
    std::unique_ptr<PseudoTerminal> line;
    kxlt::port::QtSerialLink link;
    kxlt::ui::MainWindow window{link};

    WindowOnLine() { plugIn(); }
    ~WindowOnLine() { qunsetenv("KXLT_COM1"); }

    // A new device behind COM1, as when an adapter is plugged in.
    void plugIn()
    {
        line = std::make_unique<PseudoTerminal>();
        qputenv("KXLT_COM1", line->slavePath().toLocal8Bit());
    }

    template <typename Control> Control* get(const char* name)
    {
        return control<Control>(window, name);
    }
    void click(const char* name) { get<QAbstractButton>(name)->click(); }
    // Presses "Open port" and waits for the quiet line that comes before an operator's first
    // click; false, with the reason in the button's tooltip, if it did not open.
    [[nodiscard]] bool openPort()
    {
        QSignalSpy quiet(&link, &kxlt::port::SerialLink::lineQuiet);
        click("Command5");
        return link.portOpen() && quiet.wait(1000);
    }
};
