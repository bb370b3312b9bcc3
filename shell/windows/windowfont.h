#pragma once

#include <QFont>

// The face the lab's windows were drawn for, "MS Sans Serif", or the first
// of its stand-ins that is installed ("Microsoft Sans Serif", then the
// metric-compatible "Liberation Sans", then "Arial").
//
// The stand-ins are looked up once, by name, among the installed families.
// Handing Qt the whole list instead makes it ask fontconfig about every
// missing name for every font made from it, which was a tenth of the main
// menu's start-up. Only when none of the names is installed does Qt get the
// list to resolve as it would.
class WindowFont
{
public:
    static QFont atPointSize(qreal pointSize);
};
