// The linear congruential sequence and its clock seed.
#include "effects/random_source.h"

#include <chrono>

namespace nimbrel {
namespace {

class StandardClock final : public Clock {
public:
    TimeOfDay UtcTimeOfDay() const override
    {
        using namespace std::chrono;
        // The system clock counts UTC without leap seconds, so the time of
        // day is what remains after whole days.
        const auto now = floor<milliseconds>(system_clock::now());
        const hh_mm_ss<milliseconds> time(now - floor<days>(now));
        return {static_cast<std::uint32_t>(time.hours().count()),
                static_cast<std::uint32_t>(time.minutes().count()),
                static_cast<std::uint32_t>(time.seconds().count()),
                static_cast<std::uint32_t>(time.subseconds().count())};
    }
};

} // namespace

const Clock& SystemClock()
{
    static const StandardClock clock;
    return clock;
}

void RandomSource::SeedFromClock(const Clock& clock)
{
    const TimeOfDay time = clock.UtcTimeOfDay();
    seed_ = ((time.Hour * 60 + time.Minute) * 60 + time.Second) * 1000 + time.Millisecond;
}

std::uint32_t RandomSource::Next(std::uint32_t n)
{
    seed_ = seed_ * 134775813u + 1u;
    return static_cast<std::uint32_t>((std::uint64_t{seed_} * n) >> 32);
}

RandomSource& ProcessRandomSource()
{
    static RandomSource source;
    return source;
}

} // namespace nimbrel
