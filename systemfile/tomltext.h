#pragma once

#include <cstddef>
#include <optional>
#include <string_view>

// What TOML allows outside its strings and comments: ASCII alone (bare
// keys are letters, digits, '-' and '_'; whitespace is blanks and tabs).
// The TOML library Debian ships reaches code it declares unreachable when
// it meets some characters beyond ASCII there (U+00A1 or U+FCBF in front of
// a key, for one), so a file is looked at first, and such a character is
// refused with its line before the library sees it. A value that begins
// with a digit or a sign is read by the library up to the next blank,
// comma, bracket or comment, quotes and all, so a quote inside such a
// value opens no string here either. In a multi-line basic string the
// library asks the same question of the character after a backslash and,
// after a line-ending backslash, of the first character it keeps, so one
// beyond ASCII is refused there too (write it later on the line, or as
// an escape such as \u00FC).
class TomlText
{
public:
    // The line (from 1) of the first character beyond ASCII that stands
    // outside a string and a comment, inside a number-like value, or first
    // after a backslash in a multi-line basic string; or nothing.
    static std::optional<std::size_t> lineOfStrayCharacter(std::string_view text);
};
