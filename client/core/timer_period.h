#pragma once
// The period of a window timer (status refresh, on-screen display) for a number of seconds from
// the settings. A pure function, safe from any thread; nothing fails: out-of-range input is
// clamped.
#include <cstdint>

namespace dravo {

// A timer period in milliseconds for a number of seconds, kept between the shortest period a
// window timer has (10 ms) and the longest one a Qt timer takes.
int timer_period_ms(std::int64_t seconds);

}  // namespace dravo
