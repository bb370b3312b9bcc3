#pragma once

#include <QString>

#include <memory>
#include <optional>

#include "binarysystem.h"
#include "kit.h"

class NotebookFile;
class NotebookRecorder;

// The lab as a program: reads its command line, opens the notebook when it
// is asked to keep one, says where the charge pictures are when the folder
// it starts in has none, then shows the main menu.
//
//   orvane-lab [--kit CODE | --ask-kit] [--notebook FILE | --notebook-today]
//              [--system ID|FILE.toml | --choose-system | --list-systems] [--help] [--version]
//
// Without options it is the lab exactly as it has always been: it reads
// nothing but its pictures and writes nothing.
class LabProgram
{
public:
    LabProgram();
    ~LabProgram();

    int run(int argc, char *argv[]);

    // Exit status of a command line that cannot be run.
    static constexpr int usageError = 2;

private:
    struct Options
    {
        QString notebookPath;
        bool notebookToday = false;
        std::optional<Kit> kit;
        bool askForKit = false;
        std::optional<BinarySystem> system;
        bool chooseSystem = false;
    };
    // Reads the command line; a status to end with when the program is done
    // (help, version, a bad option), else nothing.
    std::optional<int> parse(const QStringList &arguments, Options &options) const;
    void warnWhenPicturesAreMissing() const;
    // The student's kit, asked for in a small dialog until a code is right;
    // nothing when they cancel.
    static std::optional<Kit> askForKit();
    void openNotebook(const QString &path, const QString &kitCode);
    void notebookWriteFailed();

    std::unique_ptr<NotebookFile> m_notebook;
    std::unique_ptr<NotebookRecorder> m_recorder;
    bool m_notebookFailed = false;
};
