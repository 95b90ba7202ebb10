#pragma once

class QAccessibleInterface;
class QObject;
class QString;

namespace kxlt::ui {

// Screen readers and UI automation read the reply log like a read-only multi-line text box.
QAccessibleInterface* replyLogAccessible(const QString& className, QObject* object);

} // namespace kxlt::ui
