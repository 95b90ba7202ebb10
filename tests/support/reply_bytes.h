#pragma once

#include <QByteArray>
#include <QString>

#include <cstdint>

// A board's 27-byte reply with the given BCD fields, its check byte computed.
struct ReplyFields {
    // A board fills them with its type name; 0x54, the type marker, is the fifth.
    std::uint32_t goal = 0x002000;
    std::uint32_t actual = 0x001000;
    std::uint16_t seconds = 0x0050;
    std::uint8_t version = 0x30;
    std::uint8_t address = 0x01;
};

inline QByteArray replyBytes(const ReplyFields& fields)
{
    QByteArray reply(27, '\0');
    auto put = [&reply](int at, std::uint32_t value, int width) {
        for (int i = width - 1; i >= 0; --i, value >>= 8)
            reply[at + i] = static_cast<char>(value & 0xFF);
    };
    reply[0] = 0x54;
    reply.replace(1, 8, QByteArray("KX-LT   ", 8));
    put(9, fields.goal, 3);
    put(13, fields.actual, 3);
    put(16, fields.seconds, 2);
    put(21, 0x123456, 3); // the serial number
    reply[24] = static_cast<char>(fields.version);
    reply[25] = static_cast<char>(fields.address);
    char check = 0;
    for (int i = 0; i < 26; ++i)
        check = static_cast<char>(check ^ reply[i]);
    reply[26] = check;
    return reply;
}

// The reply with its check byte spoilt.
inline QByteArray withBadCheck(const QByteArray& reply)
{
    return reply.left(26) + char(~reply[26]);
}

// The line the window shows for a good reply: its 27 bytes in hex, then the computed check.
inline QString replyLine(const QByteArray& reply)
{
    return QString::fromLatin1((reply + reply.right(1)).toHex().toUpper());
}

// The line shown for a block that holds no reply.
inline const QString kZeroLine(56, QLatin1Char('0'));
