// RandomSource: the one pseudo-random sequence from which the saver's effect
// choice and the effects' draws come, and the clock that seeds it.
#pragma once

#include <cstdint>

namespace nimbrel {

// A UTC time of day.
struct TimeOfDay {
    std::uint32_t Hour = 0;
    std::uint32_t Minute = 0;
    std::uint32_t Second = 0;
    std::uint32_t Millisecond = 0;
};

// Where SeedFromClock reads the time, so that tests and tools can fix it.
class Clock {
public:
    virtual ~Clock() = default;
    virtual TimeOfDay UtcTimeOfDay() const = 0;
};

// The system's UTC time of day, through the standard library's clock.
const Clock& SystemClock();

class RandomSource {
public:
    explicit RandomSource(std::uint32_t seed = 0)
        : seed_(seed)
    {
    }

    // seed := milliseconds since midnight UTC.
    void SeedFromClock(const Clock& clock = SystemClock());

    // A number from 0 to n - 1 (0 when n is 0); every call advances the seed.
    std::uint32_t Next(std::uint32_t n);

    std::uint32_t Seed() const { return seed_; }
    void SetSeed(std::uint32_t seed) { seed_ = seed; }

private:
    std::uint32_t seed_;
};

// The sequence of this process, shared by the saver and the effects. It
// starts at seed 0.
RandomSource& ProcessRandomSource();

} // namespace nimbrel
