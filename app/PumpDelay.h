#pragma once

#include <cstdint>

namespace quorbelix {

// Returns once `milliseconds` have passed on the platform's tick counter, dispatching every event
// as it arrives meanwhile, so that the window stays alive and any command can run inside the wait
// (a second wait nests). Between events the thread sleeps rather than polls.
void PumpDelay(std::uint32_t milliseconds);

}  // namespace quorbelix
