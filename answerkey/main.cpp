// orvane-answer-key: what a student will see for a worksheet, played
// through the lab's own run and report code from a fresh start; a check of
// a student's notebook; an experiment's true phase diagram.
#include "answerkeyprogram.h"

int main(int argc, char *argv[])
{
    AnswerKeyProgram program;
    return program.run(argc, argv);
}
