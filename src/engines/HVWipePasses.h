#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

// One overwrite pass: a byte pattern repeated from the start of the file, or random data when
// the pattern is empty.
struct HVWipePass
{
    std::vector<std::uint8_t> pattern;
    [[nodiscard]] bool IsRandom() const { return pattern.empty(); }
};

// Most bytes a third-pass pattern text may give.
inline constexpr std::size_t kHVWipeMaxPatternBytes = 8;

// Reads a third-pass pattern text: optional blanks around it, an optional "0x"/"0X" prefix, then
// one hex digit or an even number of hex digits (at most 2 * kHVWipeMaxPatternBytes). On success
// fills out and returns true; otherwise returns false and empties out.
[[nodiscard]] bool HVParseWipePattern(std::string_view strText, std::vector<std::uint8_t>& out);

// The passes of a method (0, 1 or 2; any other number gives method 0's). thirdPattern is the
// third pass of method 1; empty means random.
[[nodiscard]] std::vector<HVWipePass> HVWipePasses(int nMethod, const std::vector<std::uint8_t>& thirdPattern);
