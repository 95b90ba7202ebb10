#include "ui/input_marking.h"

namespace kxlt::ui {

namespace {

const char* const kRefusedProperty = "refused";

} // namespace

void markRefused(QLineEdit& box, const QString& reason)
{
    box.setProperty(kRefusedProperty, true);
    box.setStyleSheet(QStringLiteral("QLineEdit { border: 2px solid rgb(255, 0, 0); }"));
    box.setToolTip(reason);
}

void clearRefusal(QLineEdit& box)
{
    if (!box.property(kRefusedProperty).toBool())
        return;
    box.setProperty(kRefusedProperty, false);
    box.setStyleSheet(QString());
    box.setToolTip(QString());
}

} // namespace kxlt::ui
