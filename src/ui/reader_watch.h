#pragma once

#include <QAccessible>
#include <QObject>

namespace kxlt::ui {

// Says when assistive technology starts listening to the application, for as long as it exists.
class ReaderWatch final : public QObject, private QAccessible::ActivationObserver {
    Q_OBJECT

public:
    explicit ReaderWatch(QObject* parent);
    ~ReaderWatch() override;

signals:
    void readerConnected();

private:
    void accessibilityActiveChanged(bool active) override;
};

} // namespace kxlt::ui
