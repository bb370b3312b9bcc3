#include "labprogram.h"

int main(int argc, char *argv[])
{
    LabProgram program;
    return program.run(argc, argv);
}
