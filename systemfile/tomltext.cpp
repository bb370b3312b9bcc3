#include "tomltext.h"

namespace {

// Where the library's scan of a number-like value stops.
bool endsValue(char character)
{
    return character == ' ' || character == '\t' || character == '\r' || character == ',' || character == ']'
        || character == '}' || character == '#';
}

bool isBareCharacter(char character)
{
    return (character >= 'a' && character <= 'z') || (character >= 'A' && character <= 'Z')
        || (character >= '0' && character <= '9') || character == '-' || character == '_';
}

// After a backslash in a multi-line string: the escaped character, or,
// when that is whitespace (a line-ending backslash), the first character
// after all the whitespace and line ends that follow, counting the lines.
std::size_t firstKept(std::string_view text, std::size_t at, std::size_t &line)
{
    const auto isBlank = [](char character) { return character == ' ' || (character >= '\t' && character <= '\r'); };
    if (at >= text.size() || !isBlank(text[at]))
        return at;
    for (; at < text.size() && isBlank(text[at]); ++at)
        line += text[at] == '\n';
    return at;
}

} // namespace

std::optional<std::size_t> TomlText::lineOfStrayCharacter(std::string_view text)
{
    enum class In { Plain, Number, Comment, Basic, Literal, MultiBasic, MultiLiteral };
    In in = In::Plain;
    std::size_t line = 1;
    const auto startsWith = [&text](std::size_t at, std::string_view what) { return text.substr(at, what.size()) == what; };
    for (std::size_t at = 0; at < text.size(); ++at) {
        const char character = text[at];
        if (character == '\n') {
            ++line;
            // A comment, and a one-line string the library will refuse, end here.
            if (in == In::Number || in == In::Comment || in == In::Basic || in == In::Literal)
                in = In::Plain;
            continue;
        }
        switch (in) {
        case In::Plain:
            if (static_cast<unsigned char>(character) >= 0x80)
                return line;
            if (character == '#')
                in = In::Comment;
            else if (startsWith(at, "\"\"\""))
                in = In::MultiBasic, at += 2;
            else if (startsWith(at, "'''"))
                in = In::MultiLiteral, at += 2;
            else if (character == '"')
                in = In::Basic;
            else if (character == '\'')
                in = In::Literal;
            else if (((character >= '0' && character <= '9') || character == '+' || character == '-')
                     && (at == 0 || !isBareCharacter(text[at - 1])))
                in = In::Number;
            break;
        case In::Number:
            if (static_cast<unsigned char>(character) >= 0x80)
                return line;
            if (character == '#')
                in = In::Comment;
            else if (endsValue(character))
                in = In::Plain;
            break;
        case In::Comment:
            break;
        case In::Basic:
            if (character == '\\' && at + 1 < text.size() && text[at + 1] != '\n')
                ++at; // an escaped character, a quote perhaps
            else if (character == '"')
                in = In::Plain;
            break;
        case In::MultiBasic:
            if (character == '\\') {
                // The library asks whether the escaped character, and after a
                // line-ending backslash the first one it keeps, is whitespace.
                const std::size_t kept = firstKept(text, at + 1, line);
                if (kept < text.size() && static_cast<unsigned char>(text[kept]) >= 0x80)
                    return line;
                at = kept == at + 1 ? at + 1 : kept - 1;
            }
            else if (startsWith(at, "\"\"\""))
                in = In::Plain, at += 2;
            break;
        case In::Literal:
            if (character == '\'')
                in = In::Plain;
            break;
        case In::MultiLiteral:
            if (startsWith(at, "'''"))
                in = In::Plain, at += 2;
            break;
        }
    }
    return std::nullopt;
}
