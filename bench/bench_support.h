#pragma once

#include "reply_bytes.h"

#include <QApplication>
#include <QByteArray>

#include <benchmark/benchmark.h>

#include <string>
#include <unistd.h>

// `count` reply lines as the log holds them, to give a log its size before measuring.
inline std::string replyLines(std::size_t count)
{
    const QByteArray reply = replyBytes({});
    const std::string line = (reply + reply.right(1)).toHex().toUpper().toStdString() + "\r\n";
    std::string text;
    text.reserve(line.size() * count);
    for (std::size_t i = 0; i < count; ++i)
        text += line;
    return text;
}

// The process's resident memory now, in bytes.
inline long residentBytes()
{
    long pages = 0;
    long resident = 0;
    if (FILE* statm = std::fopen("/proc/self/statm", "r")) {
        if (std::fscanf(statm, "%ld %ld", &pages, &resident) != 2)
            resident = 0;
        std::fclose(statm);
    }
    return resident * sysconf(_SC_PAGESIZE);
}

// Window benchmarks run on the offscreen platform: no display needed.
inline int runOffscreenBenchmarks(int argc, char* argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
