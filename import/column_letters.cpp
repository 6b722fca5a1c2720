#include "column_letters.h"

namespace {

char UpperAscii(char c)
{
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

bool IsLetter(char c)
{
    const char upper = UpperAscii(c);
    return upper >= 'A' && upper <= 'Z';
}

} // namespace

int ColumnIndexFromLetters(std::string_view letters)
{
    long long sum = 0;
    for (char c : letters) {
        sum = sum * 26 + (IsLetter(c) ? UpperAscii(c) - 'A' + 1 : 0);
        if (sum > MaxColumnIndex + 1) {
            return MaxColumnIndex + 1; // beyond every worksheet; long texts must not overflow
        }
    }
    return static_cast<int>(sum) - 1;
}

bool ColumnLettersValid(std::string_view letters)
{
    if (letters.empty() || letters.size() > 2) {
        return false;
    }
    for (char c : letters) {
        if (!IsLetter(c)) {
            return false;
        }
    }
    return ColumnIndexFromLetters(letters) <= MaxColumnIndex;
}
