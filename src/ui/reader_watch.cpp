#include "ui/reader_watch.h"

namespace kxlt::ui {

ReaderWatch::ReaderWatch(QObject* parent) : QObject(parent)
{
    QAccessible::installActivationObserver(this);
}

ReaderWatch::~ReaderWatch() { QAccessible::removeActivationObserver(this); }

void ReaderWatch::accessibilityActiveChanged(bool active)
{
    if (active)
        emit readerConnected();
}

} // namespace kxlt::ui
