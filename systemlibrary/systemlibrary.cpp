#include "systemlibrary.h"

#include "systemfile.h"

#include <algorithm>
#include <stdexcept>

SystemLibrary SystemLibrary::builtIn()
{
    SystemLibrary library;
    for (const File &file : builtInFiles()) {
        SystemFile::Result read = SystemFile::read(file.text, file.name);
        // The library's files are tested; one that does not read is a
        // mistake of the build, not of a user.
        if (!read.system)
            throw std::logic_error(read.error);
        library.m_systems.push_back(std::move(*read.system));
    }
    return library;
}

const BinarySystem *SystemLibrary::find(const std::string &id) const
{
    const auto found = std::find_if(m_systems.begin(), m_systems.end(),
                                    [&](const BinarySystem &system) { return system.id == id; });
    return found == m_systems.end() ? nullptr : &*found;
}

bool SystemLibrary::addFile(const std::string &path, std::string &error)
{
    SystemFile::Result read = SystemFile::readFile(path);
    if (!read.system) {
        error = read.error;
        return false;
    }
    if (find(read.system->id)) {
        error = path + ":1: id: \"" + read.system->id + "\" is a system already known";
        return false;
    }
    m_systems.push_back(std::move(*read.system));
    return true;
}
