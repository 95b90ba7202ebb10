#include "board_process.h"

#include <QFile>

QString BoardProcess::start(const QStringList& options)
{
    record_ = dir_.filePath(QString::number(++starts_));
    printed_.clear();
    process_.start(QStringLiteral(BOARDSIM_PATH), options + QStringList{"--record", record_});
    if (process_.waitForReadyRead(5000) && process_.canReadLine())
        return QString::fromLocal8Bit(process_.readLine().trimmed());
    qWarning("the board printed no device: %s", process_.readAllStandardError().constData());
    return {};
}

bool BoardProcess::stop()
{
    process_.terminate();
    const bool ended = process_.state() == QProcess::NotRunning || process_.waitForFinished(5000);
    printed_ += process_.readAllStandardOutput();
    if (ended && process_.exitStatus() == QProcess::NormalExit && process_.exitCode() == 0)
        return true;
    qWarning("the board did not end cleanly: %s", process_.readAllStandardError().constData());
    process_.kill();
    process_.waitForFinished();
    return false;
}

QByteArray BoardProcess::received() const
{
    QFile file(record_);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}
