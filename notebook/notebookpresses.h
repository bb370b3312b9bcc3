#pragma once

#include "notebookrow.h"

#include <cstddef>
#include <vector>

// How a notebook's rows make up what students did, said once for the check,
// the diagram and the plots.
//
// A session is one start of the lab: its rows, in file order, whatever rows
// of other sessions lie between them (two labs may write into one notebook
// at the same time, so their rows interleave).
//
// Within a session each run, refused entry and abort is one row; one press
// of the microprobe button is one row per analysed phase, written one after
// the other: probe rows of one experiment and temperature, each phase once.
// A phase seen again starts the next press (two presses after one run give
// the same phases in the same order); a probe row with no phase is a press
// that had nothing to analyse, on its own. A cooling is one row a step, one
// after the other: cool rows of one experiment, grams and program, each
// step below the one before (the same program again starts again at its
// start temperature).
class NotebookPresses
{
public:
    struct Session
    {
        int number = 0;
        std::vector<std::size_t> rows; // indexes into the notebook's rows
    };
    // A run of any kind (one row), a press or a cooling (their rows).
    struct Action
    {
        std::vector<std::size_t> rows;
        bool isPress = false;
        bool isCooling = false;
    };

    // The sessions in the order their first rows appear.
    static std::vector<Session> sessions(const std::vector<NotebookRow> &rows);
    static std::vector<Action> actions(const std::vector<NotebookRow> &rows, const Session &session);
    // Whether `next` goes on the press whose rows so far are `press`.
    static bool continuesPress(const std::vector<NotebookRow> &rows, const std::vector<std::size_t> &press,
                               std::size_t next);
    // Whether `next` is the next step of the cooling whose rows so far are `cooling`.
    static bool continuesCooling(const std::vector<NotebookRow> &rows, const std::vector<std::size_t> &cooling,
                                 std::size_t next);
};
