#pragma once

#include <QByteArray>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

// kxlt-boardsim as a process of its own, on a pseudo-terminal it makes, recording every byte it
// receives.
class BoardProcess {
public:
    // Starts it with the options; the device to open, or nothing (with a warning saying why).
    [[nodiscard]] QString start(const QStringList& options);
    // Ends it as a service manager would; false unless it ended cleanly. What it printed stays.
    [[nodiscard]] bool stop();
    // Every byte it received; complete once it has stopped.
    QByteArray received() const;
    const QByteArray& printed() const { return printed_; }

private:
    QTemporaryDir dir_;
    QProcess process_;
    QString record_;
    QByteArray printed_;
    int starts_ = 0;
};
