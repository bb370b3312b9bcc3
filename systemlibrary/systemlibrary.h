#pragma once

#include "binarysystem.h"

#include <optional>
#include <string>
#include <vector>

// The classic systems that come with the lab, each checked against its
// published diagram (their files are in systems/, built into the programs
// and installed beside the pictures), and any an instructor adds from a file.
class SystemLibrary
{
public:
    // The library's own systems, in the order they are listed.
    static SystemLibrary builtIn();

    const std::vector<BinarySystem> &systems() const { return m_systems; }
    const BinarySystem *find(const std::string &id) const;
    // Adds a system read from a file; false, with `error` naming the line and
    // key, for a file that is not one or whose id is already known.
    bool addFile(const std::string &path, std::string &error);

    // Each built-in file's name and text, as the library holds them.
    struct File
    {
        const char *name;
        const char *text;
    };
    static const std::vector<File> &builtInFiles();

private:
    std::vector<BinarySystem> m_systems;
};
