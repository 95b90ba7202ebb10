#pragma once

#include "protocol/parsed.h"

#include <QLineEdit>

#include <optional>

namespace kxlt::ui {

// A refused box gets a red frame and a tooltip saying what it accepts; the mark goes with the
// next edit or the next accepted reading.
void markRefused(QLineEdit& box, const QString& reason);
void clearRefusal(QLineEdit& box);

template <typename T>
std::optional<T> acceptedOrMarked(QLineEdit& box, const protocol::Parsed<T>& parsed)
{
    if (!parsed) {
        markRefused(box, QString::fromStdString(parsed.reason()));
        return std::nullopt;
    }
    clearRefusal(box);
    return *parsed;
}

} // namespace kxlt::ui
