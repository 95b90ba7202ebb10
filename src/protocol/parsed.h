#pragma once

#include <string>
#include <utility>
#include <variant>

namespace kxlt::protocol {

// Why a text was refused, worded for the operator.
struct Refusal {
    std::string reason;
};

// The outcome of reading operator text: a value, or a refusal with its reason.
template <typename T> class Parsed {
public:
    Parsed(T value) : outcome_(std::move(value)) {}
    Parsed(Refusal refusal) : outcome_(std::move(refusal)) {}

    bool ok() const { return std::holds_alternative<T>(outcome_); }
    explicit operator bool() const { return ok(); }
    const T& value() const { return std::get<T>(outcome_); }
    const T& operator*() const { return value(); }
    const std::string& reason() const { return std::get<Refusal>(outcome_).reason; }

private:
    std::variant<T, Refusal> outcome_;
};

} // namespace kxlt::protocol
