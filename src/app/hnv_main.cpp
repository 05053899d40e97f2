// hnv: the terminal program.
#include "app/CTerminalProgram.h"
#include "engines/HVNoCoreDump.h"
#include "globalfuncs/HVPathText.h"

#include <QCoreApplication>

#include <cstring>
#include <strings.h>

namespace {

// Overwrites the value of every "-pw" in the process's own argument memory, so that the process
// list shows it no longer (it was visible from the start until here: the program warns).
void ScrubPasswordArguments(int argc, char** argv)
{
    for (int i = 1; i + 1 < argc; ++i) {
        if (::strcasecmp(argv[i], "-pw") == 0 && argv[i + 1][0] != '-') {
            std::memset(argv[i + 1], '*', std::strlen(argv[i + 1]));
        }
    }
}

}  // namespace

int main(int argc, char** argv)
{
    HVNoCoreDump();  // before any secret is read
    QCoreApplication application(argc, argv);
    // Arguments byte for byte: a name that is not UTF-8 keeps its bytes.
    const QStringList lstArgs = HVGlobalMFC::HVArgumentsFromArgv(argc, argv);
    ScrubPasswordArguments(argc, argv);
    return CTerminalProgram::Main(lstArgs);
}
