#pragma once

#include <QFile>
#include <QTest>

#include <algorithm>

// Compares a text with its approved copy in tests/snapshots, line by line. With
// KXLT_ACCEPT_SNAPSHOTS=1 the text becomes the approved copy, to be reviewed with git diff.
inline void compareWithSnapshot(const QString& name, const QString& text)
{
    QFile approved(QStringLiteral(KXLT_SNAPSHOT_DIR "/") + name);
    if (qEnvironmentVariableIsSet("KXLT_ACCEPT_SNAPSHOTS")) {
        QVERIFY(approved.open(QIODevice::WriteOnly) && approved.write(text.toUtf8()) >= 0);
        return;
    }
    QVERIFY2(approved.open(QIODevice::ReadOnly), qPrintable(approved.fileName()));
    const QStringList expected = QString::fromUtf8(approved.readAll()).split('\n');
    const QStringList actual = text.split('\n');
    for (qsizetype line = 0; line < std::max(expected.size(), actual.size()); ++line) {
        const QString where = QStringLiteral("%1:%2: ").arg(name).arg(line + 1);
        QCOMPARE(where + actual.value(line), where + expected.value(line));
    }
}
