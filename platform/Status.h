#pragma once
// The result of an operation that can fail: empty message on success, a Japanese message
// (UTF-8, for the screen or stderr) otherwise. Core code returns this instead of throwing.
#include <string>
#include <utility>

namespace quilvane {

class [[nodiscard]] Status {
public:
    static Status Success() { return Status(); }
    static Status Failure(std::string message) { return Status(std::move(message)); }

    bool Ok() const { return !failed_; }
    explicit operator bool() const { return Ok(); }
    const std::string& Message() const { return message_; }

private:
    Status() = default;
    explicit Status(std::string message) : message_(std::move(message)), failed_(true) {}

    std::string message_;
    bool failed_ = false;
};

} // namespace quilvane
