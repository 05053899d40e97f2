// Test stub standing in for the program: writes its arguments (argv[0] included), each ended by
// a NUL, to the file named by HV_STUB_RECORD, and then its session id. The file appears whole
// (written, then renamed).
#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>

int main(int argc, char** argv)
{
    const char* pszRecord = std::getenv("HV_STUB_RECORD");
    if (pszRecord == nullptr) {
        return 2;
    }
    const std::string strTemp = std::string(pszRecord) + ".part";
    std::FILE* pFile = std::fopen(strTemp.c_str(), "wb");
    if (pFile == nullptr) {
        return 3;
    }
    for (int i = 0; i < argc; ++i) {
        std::fwrite(argv[i], 1, std::char_traits<char>::length(argv[i]) + 1, pFile);
    }
    std::fprintf(pFile, "sid=%ld", static_cast<long>(::getsid(0)));
    std::fclose(pFile);
    return std::rename(strTemp.c_str(), pszRecord) == 0 ? 0 : 4;
}
