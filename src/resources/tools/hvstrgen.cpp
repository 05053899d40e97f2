// hvstrgen: turns the numbered string tables (resources/strings/*.tsv) into what the build needs.
//
//   hvstrgen --check  TABLE...               validate only
//   hvstrgen --binary OUT TABLE              the string table packed into the resource module
//   hvstrgen --ids    OUT TABLE...           a header with one IDS_ constant per string
//   hvstrgen --array  OUT SYMBOL TABLE       a C++ array {number, UTF-8 text} for compiled-in strings
//
// A table line holds five TAB-separated fields: number, name, args, text, where. Lines starting
// with '#' and empty lines are skipped. Every error names the file and line and fails the build.
// Outputs are only rewritten when their content changes, so an unchanged table rebuilds nothing.
#include "globalfuncs/HVDurableFile.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace {

struct Entry
{
    unsigned id = 0;
    std::string name;
    std::string args;  // "" when the text takes no placeholder
    std::string text;  // unescaped UTF-8
    std::string origin;
};

constexpr unsigned kMaxId = 65535;
constexpr std::size_t kMaxTextBytes = 4096;

bool Fail(const std::string& where, const std::string& what)
{
    std::cerr << where << ": error: " << what << "\n";
    return false;
}

std::vector<std::string> SplitTabs(const std::string& line)
{
    std::vector<std::string> fields;
    std::size_t start = 0;
    for (;;) {
        const std::size_t tab = line.find('\t', start);
        fields.push_back(line.substr(start, tab == std::string::npos ? std::string::npos : tab - start));
        if (tab == std::string::npos) {
            return fields;
        }
        start = tab + 1;
    }
}

bool ValidUtf8(const std::string& s)
{
    std::size_t i = 0;
    while (i < s.size()) {
        const auto c = static_cast<unsigned char>(s[i]);
        std::size_t extra = 0;
        std::uint32_t cp = 0;
        if (c < 0x80) {
            ++i;
            continue;
        } else if ((c & 0xE0) == 0xC0) {
            extra = 1;
            cp = c & 0x1F;
        } else if ((c & 0xF0) == 0xE0) {
            extra = 2;
            cp = c & 0x0F;
        } else if ((c & 0xF8) == 0xF0) {
            extra = 3;
            cp = c & 0x07;
        } else {
            return false;
        }
        if (i + extra >= s.size()) {
            return false;
        }
        for (std::size_t k = 1; k <= extra; ++k) {
            const auto cc = static_cast<unsigned char>(s[i + k]);
            if ((cc & 0xC0) != 0x80) {
                return false;
            }
            cp = (cp << 6) | (cc & 0x3F);
        }
        const std::uint32_t minimum[] = {0, 0x80, 0x800, 0x10000};
        if (cp < minimum[extra] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
            return false;
        }
        i += extra + 1;
    }
    return true;
}

bool Unescape(const std::string& raw, std::string& out, std::string& why)
{
    out.clear();
    for (std::size_t i = 0; i < raw.size(); ++i) {
        if (raw[i] != '\\') {
            out += raw[i];
            continue;
        }
        if (i + 1 >= raw.size()) {
            why = "a backslash ends the text";
            return false;
        }
        const char e = raw[++i];
        if (e == 'n') {
            out += '\n';
        } else if (e == 't') {
            out += '\t';
        } else if (e == '\\') {
            out += '\\';
        } else {
            why = std::string("unknown escape \\") + e;
            return false;
        }
    }
    return true;
}

// The placeholders of a text in order ("sd" for "%s ... %d"); false on a stray '%'.
bool Placeholders(const std::string& text, std::string& found, bool& hasLiteralPercent)
{
    found.clear();
    hasLiteralPercent = false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '%') {
            continue;
        }
        if (i + 1 >= text.size()) {
            return false;
        }
        const char c = text[++i];
        if (c == '%') {
            hasLiteralPercent = true;
        } else if (c == 's' || c == 'd' || c == 'u') {
            found += c;
        } else {
            return false;
        }
    }
    return true;
}

bool ParseLine(const std::string& where, const std::string& line, Entry& e)
{
    const std::vector<std::string> f = SplitTabs(line);
    if (f.size() != 5) {
        return Fail(where, "expected 5 TAB-separated fields, found " + std::to_string(f.size()));
    }
    const std::string& num = f[0];
    if (num.empty() || num.size() > 5
        || !std::all_of(num.begin(), num.end(), [](char c) { return c >= '0' && c <= '9'; })) {
        return Fail(where, "bad number '" + num + "'");
    }
    e.id = static_cast<unsigned>(std::stoul(num));
    if (e.id == 0 || e.id > kMaxId) {
        return Fail(where, "number " + num + " outside 1.." + std::to_string(kMaxId));
    }
    e.name = f[1];
    const bool nameOk =
        e.name.size() > 4 && e.name.rfind("IDS_", 0) == 0 && std::all_of(e.name.begin(), e.name.end(), [](char c) {
            return (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_';
        });
    if (!nameOk) {
        return Fail(where, "bad name '" + e.name + "' (IDS_ followed by A-Z, 0-9, _)");
    }
    e.args = f[2] == "-" ? std::string() : f[2];
    if (f[2].empty() || (!e.args.empty() && e.args.find_first_not_of("sdu") != std::string::npos)) {
        return Fail(where, "bad args '" + f[2] + "' (\"-\" or letters s, d, u)");
    }
    std::string why;
    if (!Unescape(f[3], e.text, why)) {
        return Fail(where, why);
    }
    if (e.text.empty()) {
        return Fail(where, "empty text for " + num);
    }
    if (e.text.size() > kMaxTextBytes) {
        return Fail(where, "text of " + num + " is longer than " + std::to_string(kMaxTextBytes) + " bytes");
    }
    if (!ValidUtf8(e.text)) {
        return Fail(where, "text of " + num + " is not valid UTF-8");
    }
    std::string found;
    bool literalPercent = false;
    if (!Placeholders(e.text, found, literalPercent)) {
        return Fail(where, "text of " + num + " has a '%' that is not %s, %d, %u or %%");
    }
    if (found != e.args) {
        return Fail(where, "text of " + num + " holds placeholders '" + found + "' but args says '" + e.args + "'");
    }
    if (e.args.empty() && literalPercent) {
        return Fail(where, "text of " + num + " is shown unformatted: write a plain %, not %%");
    }
    e.origin = where;
    return true;
}

bool ReadTable(const std::string& path, std::vector<Entry>& entries)
{
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        return Fail(path, "cannot open");
    }
    std::string line;
    int lineNo = 0;
    bool ok = true;
    std::map<unsigned, std::string> seen;
    while (std::getline(in, line)) {
        ++lineNo;
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        if (line.empty() || line[0] == '#') {
            continue;
        }
        const std::string where = path + ":" + std::to_string(lineNo);
        Entry e;
        if (!ParseLine(where, line, e)) {
            ok = false;
            continue;
        }
        const auto [it, inserted] = seen.emplace(e.id, where);
        if (!inserted) {
            ok = Fail(where, "number " + std::to_string(e.id) + " already used at " + it->second);
            continue;
        }
        entries.push_back(std::move(e));
    }
    std::sort(entries.begin(), entries.end(), [](const Entry& a, const Entry& b) { return a.id < b.id; });
    return ok;
}

bool ReadTables(const std::vector<std::string>& paths, std::vector<std::vector<Entry>>& tables)
{
    bool ok = true;
    std::map<std::string, std::string> names;
    for (const std::string& p : paths) {
        tables.emplace_back();
        ok = ReadTable(p, tables.back()) && ok;
        for (const Entry& e : tables.back()) {
            const auto [it, inserted] = names.emplace(e.name, e.origin);
            if (!inserted) {
                ok = Fail(e.origin, "name " + e.name + " already used at " + it->second);
            }
        }
    }
    return ok;
}

bool WriteIfChanged(const std::string& path, const std::string& content)
{
    {
        std::ifstream old(path, std::ios::binary);
        if (old) {
            std::ostringstream s;
            s << old.rdbuf();
            if (s.str() == content) {
                return true;
            }
        }
    }
    HVDurableFile::SOptions opt;
    opt.nMode = 0666;
    opt.eModes = HVDurableFile::EModes::Umask;
    if (HVDurableFile::Write(path, content, opt) != 0) {
        return Fail(path, "cannot replace");
    }
    return true;
}

void PutU32(std::string& out, std::uint32_t v)
{
    for (int i = 0; i < 4; ++i) {
        out += static_cast<char>((v >> (8 * i)) & 0xFF);
    }
}

// Layout, little-endian: "HVSTRTAB", version 1, count, then per string in ascending number:
// number, byte length, UTF-8 bytes.
std::string BinaryTable(const std::vector<Entry>& entries)
{
    std::string out = "HVSTRTAB";
    PutU32(out, 1);
    PutU32(out, static_cast<std::uint32_t>(entries.size()));
    for (const Entry& e : entries) {
        PutU32(out, e.id);
        PutU32(out, static_cast<std::uint32_t>(e.text.size()));
        out += e.text;
    }
    return out;
}

std::string CppLiteral(const std::string& s)
{
    std::string out = "\"";
    for (const char ch : s) {
        const auto c = static_cast<unsigned char>(ch);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += ch;
        } else if (c == '\n') {
            out += "\\n";
        } else if (c == '\t') {
            out += "\\t";
        } else if (c < 0x20 || c >= 0x7F) {
            char buf[8];
            std::snprintf(buf, sizeof buf, "\\%03o", c);  // octal: never swallows the next character
            out += buf;
        } else {
            out += ch;
        }
    }
    return out + "\"";
}

std::string IdsHeader(const std::vector<std::vector<Entry>>& tables)
{
    std::string out = "// Generated by hvstrgen from the string tables; do not edit.\n#pragma once\n\n";
    for (const auto& table : tables) {
        for (const Entry& e : table) {
            out += "inline constexpr unsigned " + e.name + " = " + std::to_string(e.id) + ";\n";
        }
    }
    return out;
}

std::string ArraySource(const std::string& symbol, const std::vector<Entry>& entries)
{
    std::string out = "// Generated by hvstrgen from a string table; do not edit.\n";
    out += "// Sorted by number; each text is UTF-8.\n";
    out += "static constexpr struct\n{\n    unsigned nId;\n    const char* pszText;\n} " + symbol + "[] = {\n";
    for (const Entry& e : entries) {
        out += "    {" + std::to_string(e.id) + "u, " + CppLiteral(e.text) + "},\n";
    }
    return out + "};\n";
}

int Usage()
{
    std::cerr << "usage: hvstrgen --check TABLE... | --binary OUT TABLE | --ids OUT TABLE... | "
                 "--array OUT SYMBOL TABLE\n";
    return 2;
}

}  // namespace

int main(int argc, char** argv)
{
    const std::vector<std::string> args(argv + 1, argv + argc);
    if (args.size() < 2) {
        return Usage();
    }
    const std::string& mode = args[0];
    std::vector<std::vector<Entry>> tables;
    if (mode == "--check") {
        return ReadTables({args.begin() + 1, args.end()}, tables) ? 0 : 1;
    }
    if (mode == "--binary" && args.size() == 3) {
        if (!ReadTables({args[2]}, tables)) {
            return 1;
        }
        return WriteIfChanged(args[1], BinaryTable(tables[0])) ? 0 : 1;
    }
    if (mode == "--ids" && args.size() >= 3) {
        if (!ReadTables({args.begin() + 2, args.end()}, tables)) {
            return 1;
        }
        return WriteIfChanged(args[1], IdsHeader(tables)) ? 0 : 1;
    }
    if (mode == "--array" && args.size() == 4) {
        if (!ReadTables({args[3]}, tables)) {
            return 1;
        }
        return WriteIfChanged(args[1], ArraySource(args[2], tables[0])) ? 0 : 1;
    }
    return Usage();
}
