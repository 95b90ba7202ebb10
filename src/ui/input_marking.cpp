#include "ui/input_marking.h"

namespace kxlt::ui {

void markRefused(QLineEdit& box, const QString& reason)
{
    box.setStyleSheet(QStringLiteral("QLineEdit { border: 2px solid rgb(255, 0, 0); }"));
    box.setToolTip(reason);
}

void clearRefusal(QLineEdit& box)
{
    // Only a refused box carries a style sheet of its own.
    if (box.styleSheet().isEmpty())
        return;
    box.setStyleSheet(QString());
    box.setToolTip(QString());
}

} // namespace kxlt::ui
