#pragma once

#include "fake_serial_link.h"

#include "port/port_mapping.h"
#include "ui/main_window.h"
#include "ui/reply_log.h"

#include <QAbstractButton>
#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QTimer>

// The operator's window on a link: controls found by their object names, clicked and typed into
// as the operator does, and the automatic test ticked without waiting its second.
template <typename Link> struct WindowWith {
    Link link;
    kxlt::ui::MainWindow window{link};

    // A control by its object name; a missing one ends the test run at once.
    template <typename Control> Control* get(const char* name)
    {
        auto* found = window.findChild<Control*>(QLatin1String(name));
        if (!found)
            qFatal("window has no %s named %s", Control::staticMetaObject.className(), name);
        return found;
    }
    void click(const char* name) { get<QAbstractButton>(name)->click(); }
    void type(const char* box, const QString& text) { get<QLineEdit>(box)->setText(text); }
    // What a label or box shows.
    QString shown(const char* name)
    {
        if (auto* label = qobject_cast<QLabel*>(window.findChild<QObject*>(QLatin1String(name))))
            return label->text();
        return get<QLineEdit>(name)->text();
    }
    kxlt::ui::ReplyLog* log() { return get<kxlt::ui::ReplyLog>("Rbox1"); }
    QStringList logLines()
    {
        return log()->text().split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
    }
    void tick() { QMetaObject::invokeMethod(get<QTimer>("Timer1"), "timeout"); }
};

// COMn stands for the made-up device /dev/fake-comN from before the window is built.
struct FakeDevices {
    FakeDevices() { set(true); }
    ~FakeDevices() { set(false); }
    static void set(bool set)
    {
        for (int n = 1; n <= kxlt::port::kPortCount; ++n) {
            const QByteArray name = "KXLT_COM" + QByteArray::number(n);
            set ? qputenv(name, "/dev/fake-com" + QByteArray::number(n)) : qunsetenv(name);
        }
    }
};

// The window's wiring, with a link that records what it is asked.
struct WindowOnFake : FakeDevices, WindowWith<FakeSerialLink> {
    // Opens the port; the line has been quiet since, as long before an operator's first click.
    [[nodiscard]] bool openPort()
    {
        click("Command5");
        link.quiet();
        return link.open;
    }
};

// Answers the next modal message box as soon as it shows, and tells what it said.
struct MessageBoxCatcher {
    QString title;
    QString text;
    bool hadIcon = false;
    int seen = 0;
    // Ends the watch when the catcher goes out of scope.
    QObject context;

    void arm(int attempts = 500)
    {
        QTimer::singleShot(1, &context, [this, attempts] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (!box) {
                if (attempts > 0)
                    arm(attempts - 1);
                return;
            }
            title = box->windowTitle();
            text = box->text();
            hadIcon = box->icon() != QMessageBox::NoIcon;
            ++seen;
            box->accept();
        });
    }
};
