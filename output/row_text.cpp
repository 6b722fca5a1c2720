#include "row_text.h"

namespace RowText {

std::string Build(const std::vector<std::string> &cells)
{
    std::string text;
    for (std::size_t index = 0; index < cells.size(); ++index) {
        if (index > 0) {
            text += Separator;
        }
        text += '"';
        for (const char character : cells[index]) {
            text += character;
            if (character == '"') {
                text += '"';
            }
        }
        text += '"';
    }
    return text;
}

std::vector<std::string> Split(std::string_view text)
{
    if (!text.starts_with('"')) {
        return {std::string(text)};
    }
    std::vector<std::string> cells(1);
    std::size_t position = 1;
    while (position < text.size()) {
        const char character = text[position];
        if (character != '"') {
            cells.back() += character;
            ++position;
        } else if (text.substr(position + 1).starts_with('"')) {
            cells.back() += '"';
            position += 2;
        } else if (text.substr(position + 1).starts_with(Separator)
            && text.substr(position + 1 + Separator.size()).starts_with('"')) {
            cells.emplace_back();
            position += 2 + Separator.size();
        } else {
            // A closing quote: only the text's end may follow it in a text Build made.
            break;
        }
    }
    return cells;
}

} // namespace RowText
