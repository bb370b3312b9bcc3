#pragma once

#include <QStringList>

// The command-line options that Qt itself reads when the application is
// made (-platform, -style, -session and their like), so that a program's
// own option parser can leave them to Qt instead of refusing them: a
// desktop's session restore passes -session, a user may ask for -reverse.
class ToolkitOptions
{
public:
    // The arguments without Qt's own options and their values.
    static QStringList without(const QStringList &arguments);
};
