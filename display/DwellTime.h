// The sequencer dwell as the Mode page edits it: a minutes:seconds field
// over a number of seconds limited to 1..120.
#pragma once
#include <cstdint>
#include <string>

namespace display {

struct MinSec {
    long minutes = 0;
    long seconds = 0;
};

// Stored seconds as minutes and seconds (seconds / 60, remainder); a
// negative value shows as 0:00.
MinSec SplitDwell(std::int32_t seconds);
// "m:ss".
std::string FormatDwell(std::int32_t seconds);
// The field's text: "m:ss" (or "m:s"); a text without a colon is seconds.
// Parts without digits count 0; surrounding blanks are ignored.
MinSec ParseDwell(const std::string& text);
// minutes * 60 + seconds, limited to 1..120.
std::int32_t DwellSeconds(const MinSec& value);

}  // namespace display
