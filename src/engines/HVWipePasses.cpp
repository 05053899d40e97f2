#include "engines/HVWipePasses.h"

namespace {

int HexValue(char c)
{
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return -1;
}

bool IsBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

HVWipePass Random()
{
    return {};
}

HVWipePass Fixed(std::vector<std::uint8_t> bytes)
{
    return HVWipePass{std::move(bytes)};
}

std::vector<HVWipePass> ThirtyFivePasses()
{
    std::vector<HVWipePass> passes;
    for (int i = 0; i < 4; ++i) {
        passes.push_back(Random());
    }
    for (std::uint8_t b : {0x00, 0xFF, 0x55, 0xAA}) {
        passes.push_back(Fixed({b}));
    }
    for (int bit = 0; bit < 8; ++bit) {  // walking one
        passes.push_back(Fixed({static_cast<std::uint8_t>(1U << bit)}));
    }
    for (int bit = 0; bit < 8; ++bit) {  // walking zero
        passes.push_back(Fixed({static_cast<std::uint8_t>(~(1U << bit))}));
    }
    for (const auto& triple :
         {std::vector<std::uint8_t>{0x92, 0x49, 0x24}, std::vector<std::uint8_t>{0x6D, 0xB6, 0xDB}}) {
        for (std::size_t phase = 0; phase < 3; ++phase) {
            passes.push_back(Fixed({triple[phase], triple[(phase + 1) % 3], triple[(phase + 2) % 3]}));
        }
    }
    for (int i = 0; i < 5; ++i) {
        passes.push_back(Random());
    }
    return passes;
}

}  // namespace

bool HVParseWipePattern(std::string_view strText, std::vector<std::uint8_t>& out)
{
    out.clear();
    while (!strText.empty() && IsBlank(strText.front())) {
        strText.remove_prefix(1);
    }
    while (!strText.empty() && IsBlank(strText.back())) {
        strText.remove_suffix(1);
    }
    if (strText.size() >= 2 && strText[0] == '0' && (strText[1] == 'x' || strText[1] == 'X')) {
        strText.remove_prefix(2);
    }
    for (char c : strText) {
        if (HexValue(c) < 0) {
            return false;
        }
    }
    if (strText.size() == 1) {
        out.push_back(static_cast<std::uint8_t>(HexValue(strText[0])));
        return true;
    }
    if (strText.empty() || strText.size() % 2 != 0 || strText.size() > 2 * kHVWipeMaxPatternBytes) {
        return false;
    }
    for (std::size_t i = 0; i < strText.size(); i += 2) {
        out.push_back(static_cast<std::uint8_t>(HexValue(strText[i]) * 16 + HexValue(strText[i + 1])));
    }
    return true;
}

std::vector<HVWipePass> HVWipePasses(int nMethod, const std::vector<std::uint8_t>& thirdPattern)
{
    switch (nMethod) {
    case 1:
        return {Fixed({0x00}), Fixed({0xFF}), thirdPattern.empty() ? Random() : Fixed(thirdPattern)};
    case 2:
        return ThirtyFivePasses();
    default:
        return {Random()};
    }
}
