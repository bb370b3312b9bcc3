#pragma once

#include "binarysystem.h"
#include "kit.h"

#include <QString>

#include <optional>

class ScatterSource;
class SessionRecorder;

// The lab started on a system computed by the engine instead of its main
// menu: one named on the command line (a library id or a system file), or
// one a student picks in "More systems...", whose window takes them back to
// the chooser.
class SystemStart
{
public:
    // The system a command line names: a library id, or a .toml file; else
    // nothing with `error` naming the id, or the file's line and key.
    static std::optional<BinarySystem> named(const QString &idOrFile, QString &error);
    // Each library system's id and title, a line each.
    static QString list();

    // Shows the system's window until the student leaves it; the status to
    // end the program with.
    static int run(const BinarySystem &system, const Kit *kit, ScatterSource &scatter, SessionRecorder *recorder);
    // The chooser, then the chosen system's window, then the chooser again,
    // until the student closes it.
    static int choose(const Kit *kit, ScatterSource &scatter, SessionRecorder *recorder);
};
