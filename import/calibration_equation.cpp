#include "calibration_equation.h"

#include "text_number.h"

#include <cmath>
#include <set>

namespace {

struct Token
{
    std::size_t Begin = 0;
    std::size_t End = 0; // one past the last character
};

// Tokens of text[begin, limit) in the manner of strtok: runs of delimiters separate them,
// leading delimiters are skipped, and the one delimiter that ends a token is used up by it.
std::vector<Token> SplitTokens(std::string_view text, std::size_t begin, std::size_t limit,
    std::string_view delimiters, std::size_t maxTokens)
{
    const auto isDelimiter
        = [&](std::size_t pos) { return delimiters.find(text[pos]) != std::string_view::npos; };
    std::vector<Token> tokens;
    std::size_t pos = begin;
    while (tokens.size() < maxTokens) {
        while (pos < limit && isDelimiter(pos)) {
            ++pos;
        }
        if (pos >= limit) {
            break;
        }
        Token token {pos, pos};
        while (token.End < limit && !isDelimiter(token.End)) {
            ++token.End;
        }
        tokens.push_back(token);
        pos = token.End + 1;
    }
    return tokens;
}

// The part of the text that holds the terms.
Token TermText(std::string_view equation)
{
    const std::size_t firstEquals = std::min(equation.find('='), equation.size());
    if (firstEquals >= 3) {
        return {0, firstEquals};
    }
    if (firstEquals == equation.size()) {
        return {0, 0}; // a short text without "=" is all left side
    }
    const std::size_t begin = firstEquals + 1;
    return {begin, std::min(equation.find('=', begin), equation.size())};
}

CalibrationTerm ReadTerm(std::string_view equation, const Token &term)
{
    const auto pieces = SplitTokens(equation, term.Begin, term.End, "x^", 2);
    CalibrationTerm result;
    if (!pieces.empty()) {
        result.Coefficient = LeadingNumber(equation.substr(pieces[0].Begin, pieces[0].End - pieces[0].Begin));
    }
    if (pieces.size() > 1) {
        result.Exponent = LeadingInteger(equation.substr(pieces[1].Begin, pieces[1].End - pieces[1].Begin));
    } else {
        result.Exponent = equation[term.End - 1] == 'x' ? 1 : 0;
    }
    return result;
}

// The operators the term split left in place, read from the end of the text backwards:
// the first one found is the last term's sign, the next the sign of the term before it.
void AssignSigns(
    std::string_view equation, const std::vector<Token> &tokens, std::vector<CalibrationTerm> &terms)
{
    std::set<std::size_t> usedUp;
    for (const Token &token : tokens) {
        usedUp.insert(token.End);
    }
    std::size_t termIndex = terms.size();
    for (std::size_t pos = equation.size(); pos-- > 0 && termIndex > 0;) {
        const char c = equation[pos];
        if ((c == '+' || c == '-') && !usedUp.contains(pos)) {
            terms[--termIndex].Negative = c == '-';
        }
    }
}

} // namespace

std::vector<CalibrationTerm> ParseCalibrationEquation(std::string_view equation)
{
    const Token termText = TermText(equation);
    const auto tokens = SplitTokens(equation, termText.Begin, termText.End, "+- ", MaxCalibrationTerms);
    std::vector<CalibrationTerm> terms;
    for (const Token &token : tokens) {
        terms.push_back(ReadTerm(equation, token));
    }
    AssignSigns(equation, tokens, terms);
    return terms;
}

double EvaluateCalibration(const std::vector<CalibrationTerm> &terms, double x)
{
    double y = 0;
    for (const CalibrationTerm &term : terms) {
        y = y + term.Coefficient * ((term.Negative ? -1.0 : 1.0) * std::pow(x, term.Exponent));
    }
    return y;
}
