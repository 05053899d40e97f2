// hnv: the terminal program.
#include "app/CTerminalProgram.h"

#include <QCoreApplication>

int main(int argc, char** argv)
{
    QCoreApplication application(argc, argv);
    return CTerminalProgram::Main(QCoreApplication::arguments().mid(1));
}
