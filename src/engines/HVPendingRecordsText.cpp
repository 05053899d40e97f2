#include "engines/HVPendingRecordsText.h"

#include <sstream>

namespace HVPendingRecords {

namespace {

std::string Hex(const std::string& s)
{
    static constexpr char kDigits[] = "0123456789abcdef";
    std::string out;
    out.reserve(s.size() * 2 + 1);
    for (const unsigned char c : s) {
        out += kDigits[c >> 4];
        out += kDigits[c & 15];
    }
    return out.empty() ? std::string("-") : out;
}

bool Unhex(const std::string& s, std::string& out)
{
    out.clear();
    if (s == "-") {
        return true;
    }
    if (s.size() % 2 != 0) {
        return false;
    }
    auto val = [](char c) { return c >= '0' && c <= '9' ? c - '0' : c >= 'a' && c <= 'f' ? c - 'a' + 10 : -1; };
    for (std::size_t i = 0; i < s.size(); i += 2) {
        const int hi = val(s[i]);
        const int lo = val(s[i + 1]);
        if (hi < 0 || lo < 0) {
            return false;
        }
        out += static_cast<char>(hi * 16 + lo);
    }
    return true;
}

}  // namespace

std::string Line(const SEntry& e)
{
    return std::string(1, e.cKind) + " " + std::to_string(e.nArg) + " " + std::to_string(e.nDev) + " "
           + std::to_string(e.nDirIno) + " " + std::to_string(e.nFileIno) + " " + Hex(e.strDir) + " " + Hex(e.strName)
           + "\n";
}

bool Parse(const std::string& strLine, SEntry& e)
{
    std::istringstream in(strLine);
    std::string strKind;
    std::string strDir;
    std::string strName;
    if (!(in >> strKind >> e.nArg >> e.nDev >> e.nDirIno >> e.nFileIno >> strDir >> strName) || strKind.size() != 1) {
        return false;
    }
    e.cKind = strKind[0];
    return Unhex(strDir, e.strDir) && Unhex(strName, e.strName) && !e.strName.empty()
           && e.strName.find('/') == std::string::npos && e.strName != "." && e.strName != ".." && !e.strDir.empty()
           && e.strDir[0] == '/';
}

}  // namespace HVPendingRecords
