#include "toolkitoptions.h"

namespace {

// Qt's options, read by QGuiApplication and QApplication.
const QStringList optionsWithValue{
    QStringLiteral("platform"), QStringLiteral("platformpluginpath"), QStringLiteral("platformtheme"),
    QStringLiteral("plugin"), QStringLiteral("qwindowgeometry"), QStringLiteral("qwindowicon"),
    QStringLiteral("qwindowtitle"), QStringLiteral("session"), QStringLiteral("display"),
    QStringLiteral("geometry"), QStringLiteral("style"), QStringLiteral("stylesheet")};
const QStringList optionsAlone{QStringLiteral("reverse"), QStringLiteral("widgetcount"), QStringLiteral("nograb"),
                               QStringLiteral("dograb"), QStringLiteral("testability")};

} // namespace

QStringList ToolkitOptions::without(const QStringList &arguments)
{
    QStringList kept;
    for (qsizetype index = 0; index < arguments.size(); ++index) {
        const QString &argument = arguments[index];
        QString name = argument;
        while (name.startsWith(QLatin1Char('-')))
            name.remove(0, 1);
        const bool isOption = argument.startsWith(QLatin1Char('-')) && index > 0;
        const QString bare = name.section(QLatin1Char('='), 0, 0);
        if (isOption && (optionsAlone.contains(bare) || bare == QLatin1String("qmljsdebugger")))
            continue;
        if (isOption && optionsWithValue.contains(bare)) {
            if (!name.contains(QLatin1Char('=')))
                ++index; // its value follows
            continue;
        }
        kept << argument;
    }
    return kept;
}
