#include "twips.h"

#include <QGuiApplication>
#include <QScreen>

qreal Twips::screenDotsPerInch()
{
    constexpr qreal standardDotsPerInch = 96;
    const QScreen *screen = QGuiApplication::primaryScreen();
    return screen ? screen->logicalDotsPerInch() : standardDotsPerInch;
}
