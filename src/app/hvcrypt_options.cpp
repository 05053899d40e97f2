#include "app/hvcrypt_options.h"

#include <charconv>
#include <cstring>
#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

namespace {

constexpr std::size_t kMaxPassword = 4096;

bool ToNumber(std::string_view text, std::uint32_t& n)
{
    const auto res = std::from_chars(text.data(), text.data() + text.size(), n);
    return res.ec == std::errc() && res.ptr == text.data() + text.size();
}

// UTF-8 bytes to UTF-16 units in secure memory (malformed sequences become U+FFFD).
CSecureBuffer Utf8ToUtf16(const std::uint8_t* p, std::size_t n)
{
    CSecureBuffer out(n * 2 + 2);
    std::size_t k = 0;
    auto put = [&](std::uint32_t u) {
        const char16_t c = static_cast<char16_t>(u);
        std::memcpy(out.data() + 2 * k++, &c, 2);
    };
    for (std::size_t i = 0; i < n && !out.empty();) {
        const std::uint8_t b = p[i];
        const int nExtra = b < 0x80 ? 0 : (b >> 5) == 6 ? 1 : (b >> 4) == 14 ? 2 : (b >> 3) == 30 ? 3 : -1;
        std::uint32_t cp = nExtra == 0 ? b : nExtra == 1 ? (b & 0x1F) : nExtra == 2 ? (b & 0x0F) : (b & 0x07);
        bool bOk = nExtra >= 0 && i + static_cast<std::size_t>(nExtra) < n;
        for (int j = 1; bOk && j <= nExtra; ++j) {
            bOk = (p[i + j] & 0xC0) == 0x80;
            cp = (cp << 6) | (p[i + j] & 0x3F);
        }
        if (!bOk || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
            put(0xFFFD);
            ++i;
            continue;
        }
        i += static_cast<std::size_t>(nExtra) + 1;
        if (cp >= 0x10000) {
            put(0xD800 + ((cp - 0x10000) >> 10));
            put(0xDC00 + ((cp - 0x10000) & 0x3FF));
        } else {
            put(cp);
        }
    }
    if (!out.resize(2 * k)) {
        out.clear();
    }
    return out;
}

// One line from the terminal without echo, into secure memory.
std::string PromptHidden(const char* pszPrompt, CSecureBuffer& line)
{
    const int fd = ::open("/dev/tty", O_RDWR | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) {
        return "no terminal to ask for the password (use --password-file)";
    }
    termios old{};
    const bool bTerm = ::tcgetattr(fd, &old) == 0;
    if (bTerm) {
        termios quiet = old;
        quiet.c_lflag &= ~static_cast<tcflag_t>(ECHO);
        quiet.c_lflag |= ECHONL;
        (void)::tcsetattr(fd, TCSAFLUSH, &quiet);
    }
    (void)!::write(fd, pszPrompt, std::strlen(pszPrompt));
    CSecureBuffer buf(kMaxPassword);
    std::size_t n = 0;
    char c = 0;
    while (n < buf.size() && ::read(fd, &c, 1) == 1 && c != '\n') {
        buf.data()[n++] = static_cast<std::uint8_t>(c);
    }
    c = 0;
    if (bTerm) {
        (void)::tcsetattr(fd, TCSAFLUSH, &old);
    }
    ::close(fd);
    line = CSecureBuffer::FromBytes(buf.data(), n);
    return n != 0 && line.empty() ? "out of secure memory" : "";
}

}  // namespace

const char* HvcryptUsage()
{
    return "usage: hvcrypt encrypt|decrypt|verify|wipe [options] FILE...\n"
           "  encrypt          write FILE.hvnc next to each FILE (the source is kept)\n"
           "  decrypt          write the plain file (never overwriting) and remove the .hvnc\n"
           "  verify           check password and integrity of each .hvnc file, write nothing\n"
           "  wipe             overwrite and remove each file; a file with other names (hard\n"
           "                   links) is refused, as overwriting it would empty the others too\n"
           "encrypt and wipe refuse the program's own folders and what holds them, as the program\n"
           "does (\"refused (protected path)\")\n"
           "options:\n"
           "  --password-file FILE   read the password from the first line of FILE\n"
           "                         (otherwise it is asked on the terminal)\n"
           "  --key-bits 128|192|256 AES-GCM key length for encrypt (default 256)\n"
           "  --kdf-mem-kib N        Argon2id memory for encrypt, in KiB\n"
           "  --kdf-passes N         Argon2id passes for encrypt\n"
           "  --output PATH          output name (one FILE only; encrypt and decrypt)\n"
           "  --method 0|1|2         wipe: 1 random pass, 3 passes, 35 passes (default 0)\n"
           "  --unlink-only          wipe: of a file with other names remove only the name given,\n"
           "                         leaving the content to the other names\n"
           "  --quiet                no progress bar\n"
           "exit status: 0 all files succeeded, 2 wrong password, 1 any other failure\n";
}

std::string HvcryptParse(int argc, char** argv, SHvcryptOptions& opt)
{
    if (argc < 2) {
        return "no command given";
    }
    opt.strCommand = argv[1];
    if (opt.strCommand == "-h" || opt.strCommand == "--help") {
        opt.bHelp = true;
        return "";
    }
    if (opt.strCommand != "encrypt" && opt.strCommand != "decrypt" && opt.strCommand != "verify"
        && opt.strCommand != "wipe") {
        return "unknown command '" + opt.strCommand + "'";
    }
    bool bOptions = true;
    for (int i = 2; i < argc; ++i) {
        std::string arg = argv[i];
        if (!bOptions || arg.size() < 2 || arg[0] != '-') {
            opt.files.push_back(arg);
            continue;
        }
        if (arg == "--") {
            bOptions = false;
            continue;
        }
        if (arg == "-h" || arg == "--help") {
            opt.bHelp = true;
            continue;
        }
        if (arg == "-q" || arg == "--quiet") {
            opt.bQuiet = true;
            continue;
        }
        if (arg == "--unlink-only") {
            opt.bUnlinkOnly = true;
            continue;
        }
        std::string value;
        const auto eq = arg.find('=');
        if (eq != std::string::npos) {
            value = arg.substr(eq + 1);
            arg.resize(eq);
        } else if (i + 1 < argc) {
            value = argv[++i];
        } else {
            return "option " + arg + " needs a value";
        }
        std::uint32_t n = 0;
        if (arg == "--password-file") {
            opt.strPasswordFile = value;
        } else if (arg == "--output" || arg == "-o") {
            opt.strOutput = value;
        } else if (arg == "--key-bits" && ToNumber(value, n) && (n == 128 || n == 192 || n == 256)) {
            opt.nKeyBits = static_cast<int>(n);
        } else if (arg == "--method" && ToNumber(value, n) && n <= 2) {
            opt.nMethod = static_cast<int>(n);
        } else if (arg == "--kdf-mem-kib" && ToNumber(value, n) && n >= 8 && n <= 1024u * 1024u) {
            opt.nKdfMemKiB = n;
        } else if (arg == "--format-version" && ToNumber(value, n) && (n == 1 || n == 2)) {
            opt.nFormatVersion = static_cast<std::uint16_t>(n);
        } else if (arg == "--kdf-passes" && ToNumber(value, n) && n >= 1 && n <= 10) {
            opt.nKdfPasses = n;
        } else {
            return "bad option or value: " + arg + " " + value;
        }
    }
    if (opt.bHelp) {
        return "";
    }
    if (opt.files.empty()) {
        return "no files given";
    }
    if (opt.bUnlinkOnly && opt.strCommand != "wipe") {
        return "--unlink-only goes with wipe only";
    }
    if (!opt.strOutput.empty() && (opt.files.size() != 1 || opt.strCommand == "verify" || opt.strCommand == "wipe")) {
        return "--output needs exactly one file to encrypt or decrypt";
    }
    if ((opt.nKdfMemKiB == 0) != (opt.nKdfPasses == 0)) {
        return "--kdf-mem-kib and --kdf-passes go together";
    }
    return "";
}

std::string HvcryptReadPassword(const SHvcryptOptions& opt, bool bConfirm, CSecureBuffer& utf16)
{
    CSecureBuffer utf8;
    if (!opt.strPasswordFile.empty()) {
        const int fd = ::open(opt.strPasswordFile.c_str(), O_RDONLY | O_CLOEXEC);
        if (fd < 0) {
            return "cannot read the password file " + opt.strPasswordFile;
        }
        CSecureBuffer buf(kMaxPassword);
        std::size_t n = 0;
        ssize_t r = 0;
        while (n < buf.size() && (r = ::read(fd, buf.data() + n, buf.size() - n)) > 0) {
            n += static_cast<std::size_t>(r);
        }
        ::close(fd);
        std::size_t len = 0;
        while (len < n && buf.data()[len] != '\n') {
            ++len;
        }
        if (len > 0 && buf.data()[len - 1] == '\r') {
            --len;
        }
        utf8 = CSecureBuffer::FromBytes(buf.data(), len);
    } else {
        std::string strErr = PromptHidden("Password: ", utf8);
        if (!strErr.empty()) {
            return strErr;
        }
        if (bConfirm) {
            CSecureBuffer again;
            strErr = PromptHidden("Repeat password: ", again);
            if (!strErr.empty()) {
                return strErr;
            }
            if (!again.Equals(utf8)) {
                return "the passwords do not match";
            }
        }
    }
    if (utf8.empty()) {
        return "the password is empty";
    }
    utf16 = Utf8ToUtf16(utf8.data(), utf8.size());
    return utf16.empty() ? "out of secure memory" : "";
}
