#include "windowfont.h"

#include <QFontDatabase>
#include <QStringList>

namespace {

QStringList preferredFamilies()
{
    static const QStringList families = [] {
        const QStringList wanted{QStringLiteral("MS Sans Serif"), QStringLiteral("Microsoft Sans Serif"),
                                 QStringLiteral("Liberation Sans"), QStringLiteral("Arial")};
        const QStringList installed = QFontDatabase::families();
        for (const QString &family : wanted) {
            if (installed.contains(family, Qt::CaseInsensitive))
                return QStringList{family};
        }
        return wanted;
    }();
    return families;
}

} // namespace

QFont WindowFont::atPointSize(qreal pointSize)
{
    QFont font;
    font.setFamilies(preferredFamilies());
    font.setPointSizeF(pointSize);
    return font;
}
