#include "core/compose/MixingMatrixText.h"

#include <charconv>

namespace korvex {

namespace {

std::string_view trimmed(std::string_view s)
{
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t'))
        s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t'))
        s.remove_suffix(1);
    return s;
}

// A field as an error message shows it: short, on one line.
std::string quoted(std::string_view field)
{
    constexpr std::size_t shown = 16;
    std::string text = "'";
    for (const char c : field.substr(0, shown))
        text += c >= ' ' && c <= '~' ? c : '?';
    return text + (field.size() > shown ? "...'" : "'");
}

// Error text, or empty when all nine values were read into matrix.
std::string parseMatrix(std::string_view text, std::string_view side, MixingMatrices::Matrix& matrix)
{
    std::size_t count = 0;
    while (true) {
        const std::size_t comma = text.find(',');
        const std::string_view field = trimmed(text.substr(0, comma));
        if (count < matrix.size()) {
            std::string_view digits = field;
            if (digits.size() > 1 && digits.front() == '+' && digits[1] != '-')
                digits.remove_prefix(1);
            int value = 0;
            const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
            if (digits.empty() || error == std::errc::invalid_argument || end != digits.data() + digits.size())
                return quoted(field) + " in the " + std::string(side) + " matrix is not a whole number";
            if (error == std::errc::result_out_of_range || value < -mixingValueLimit || value > mixingValueLimit)
                return quoted(field) + " in the " + std::string(side) + " matrix is outside -"
                       + std::to_string(mixingValueLimit) + " to " + std::to_string(mixingValueLimit);
            matrix[count] = value;
        }
        ++count;
        if (comma == std::string_view::npos)
            break;
        text.remove_prefix(comma + 1);
    }
    if (count != matrix.size())
        return "the " + std::string(side) + " matrix has " + std::to_string(count) + " values, not 9";
    return {};
}

}  // namespace

ParsedMixingMatrices parseMixingMatrices(std::string_view text)
{
    ParsedMixingMatrices parsed;
    const std::size_t semicolon = text.find(';');
    if (semicolon == std::string_view::npos || text.find(';', semicolon + 1) != std::string_view::npos) {
        parsed.error = "a matrix is two lists of nine thousandths, left;right";
        return parsed;
    }
    MixingMatrices matrices;
    parsed.error = parseMatrix(text.substr(0, semicolon), "left", matrices.left);
    if (parsed.error.empty())
        parsed.error = parseMatrix(text.substr(semicolon + 1), "right", matrices.right);
    if (parsed.error.empty())
        parsed.matrices = matrices;
    return parsed;
}

std::string formatMixingMatrices(const MixingMatrices& matrices)
{
    std::string text;
    for (const auto* matrix : {&matrices.left, &matrices.right}) {
        if (!text.empty())
            text += ';';
        for (std::size_t i = 0; i < matrix->size(); ++i) {
            if (i > 0)
                text += ',';
            text += std::to_string((*matrix)[i]);
        }
    }
    return text;
}

}  // namespace korvex
