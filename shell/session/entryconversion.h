#pragma once

#include <QLocale>
#include <QString>

#include <optional>

// Reads what a student typed into an entry box as a single-precision number,
// with the decimal separator and grouping of the given locale (a German
// locale takes "0,5"); leading and trailing blanks are fine. Text that is not
// a number gives nothing, and so does text that converts to no finite
// single-precision value ("nan", "inf", "1e39"): such entries must take the
// entry-error path rather than flow into a run as infinities.
class EntryConversion
{
public:
    static std::optional<float> toSingle(const QString &text, const QLocale &locale);
};
