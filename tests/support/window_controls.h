#pragma once

#include <QApplication>
#include <QMessageBox>
#include <QTimer>
#include <QWidget>

// A control of the window by its object name; a missing one ends the test run at once.
template <typename Control> Control* control(QWidget& window, const char* objectName)
{
    auto* found = window.findChild<Control*>(QLatin1String(objectName));
    if (!found)
        qFatal("window has no %s named %s", Control::staticMetaObject.className(), objectName);
    return found;
}

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
