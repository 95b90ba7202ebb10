#pragma once

#include <QObject>

#include <array>

class QSocketNotifier;

namespace kxlt::ctl {

// SIGINT and SIGTERM arrive as the signal received() through the event loop, so that a waiting
// command can end cleanly and close the port. One at a time; the default handling returns with
// its destruction.
class StopSignal final : public QObject {
    Q_OBJECT

public:
    explicit StopSignal(QObject* parent = nullptr);
    ~StopSignal() override;

signals:
    void received();

private:
    void takeSignal();

    std::array<int, 2> pipe_{-1, -1};
    QSocketNotifier* notifier_ = nullptr;
};

} // namespace kxlt::ctl
