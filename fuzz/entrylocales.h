#pragma once

#include <QLocale>

#include <array>

// The locales the entry fuzz target types in, picked by an input's first
// byte. The replay test of saved inputs uses the same list.
inline const std::array<QLocale, 8> &entryFuzzLocales()
{
    static const std::array<QLocale, 8> all{
        QLocale::c(),
        QLocale(QLocale::German, QLocale::Germany),
        QLocale(QLocale::French, QLocale::Switzerland),
        QLocale(QLocale::English, QLocale::UnitedStates),
        QLocale(QLocale::Arabic, QLocale::Egypt),
        QLocale(QLocale::Hindi, QLocale::India),
        QLocale(QLocale::Persian, QLocale::Iran),
        QLocale(QLocale::Swedish, QLocale::Sweden),
    };
    return all;
}
