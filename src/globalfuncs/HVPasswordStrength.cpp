#include "globalfuncs/HVPasswordStrength.h"

#include <cmath>
#include <cstring>
#include <vector>

namespace HVGlobalMFC {

namespace {

// Counting table indexed by a value; only the touched entries are cleared again, so the
// table never keeps a trace of the password.
class CountTable
{
public:
    explicit CountTable(std::size_t size)
        : m_counts(size, 0)
    {
    }
    unsigned& operator[](std::size_t i) { return m_counts[i]; }
    void Wipe(std::size_t i)
    {
        volatile unsigned* p = &m_counts[i];
        *p = 0;
    }

private:
    std::vector<unsigned> m_counts;
};

constexpr int kDiffOffset = 0xFFFF;

}  // namespace

quint32 EstimatePasswordBits(std::u16string_view password)
{
    if (password.empty())
        return 0;
    CountTable chars(0x10000);
    CountTable diffs(2 * 0x10000);
    bool upper = false, lower = false, digit = false, punct16 = false, punct17 = false, control = false, high = false;
    double sum = 0.0;
    for (std::size_t i = 0; i < password.size(); ++i) {
        const int ch = password[i];
        if (ch < 32)
            control = true;
        else if (ch >= 'A' && ch <= 'Z')
            upper = true;
        else if (ch >= 'a' && ch <= 'z')
            lower = true;
        else if (ch >= '0' && ch <= '9')
            digit = true;
        else if (ch <= 47)
            punct16 = true;
        else if (ch <= 126)
            punct17 = true;  // 58-64, 91-96, 123-126
        else
            high = true;

        double w = 1.0;
        if (i > 0) {
            unsigned& count = diffs[static_cast<std::size_t>(ch - password[i - 1] + kDiffOffset)];
            if (++count > 1)
                w = 1.0 / count;
        }
        unsigned& seen = chars[static_cast<std::size_t>(ch)];
        if (++seen == 1)
            sum += w;
        else
            sum += w / seen;
    }
    for (std::size_t i = 0; i < password.size(); ++i) {
        chars.Wipe(password[i]);
        if (i > 0)
            diffs.Wipe(static_cast<std::size_t>(password[i] - password[i - 1] + kDiffOffset));
    }

    int setSize = 0;
    setSize += upper ? 26 : 0;
    setSize += lower ? 26 : 0;
    setSize += digit ? 10 : 0;
    setSize += punct16 ? 16 : 0;
    setSize += punct17 ? 17 : 0;
    setSize += control ? 60 : 0;
    setSize += high ? 112 : 0;
    if (setSize == 0)
        return 0;
    return static_cast<quint32>(std::ceil(std::log2(static_cast<double>(setSize)) * sum));
}

quint32 EstimatePasswordBits(const QString& password)
{
    if (password.isEmpty())
        return 0;
    return EstimatePasswordBits(std::u16string_view(reinterpret_cast<const char16_t*>(password.constData()),
                                                    static_cast<std::size_t>(password.size())));
}

}  // namespace HVGlobalMFC
