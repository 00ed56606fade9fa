#pragma once
// Every read of the clock goes through a TimeSource so that tests can step time.
#include <ctime>

namespace quilvane {

class TimeSource {
public:
    virtual ~TimeSource() = default;
    // Seconds since 1970, as time() gives them.
    virtual std::time_t Now() const = 0;
};

class SystemTimeSource final : public TimeSource {
public:
    std::time_t Now() const override { return std::time(nullptr); }
};

// A clock that only moves when told to.
class ManualTimeSource final : public TimeSource {
public:
    explicit ManualTimeSource(std::time_t start = 0) : now_(start) {}
    std::time_t Now() const override { return now_; }
    void Set(std::time_t now) { now_ = now; }
    void Advance(std::time_t seconds) { now_ += seconds; }

private:
    std::time_t now_;
};

} // namespace quilvane
