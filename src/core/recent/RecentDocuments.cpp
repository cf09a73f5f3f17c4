#include "core/recent/RecentDocuments.h"

#include <algorithm>
#include <optional>

namespace korvex {

namespace {

std::string escaped(std::string_view path)
{
    std::string out;
    out.reserve(path.size());
    for (char c : path) {
        switch (c) {
        case '\\': out += "\\\\"; break;
        case '\t': out += "\\t"; break;
        case '\n': out += "\\n"; break;
        default: out += c; break;
        }
    }
    return out;
}

std::optional<std::string> unescaped(std::string_view field)
{
    std::string out;
    out.reserve(field.size());
    for (std::size_t i = 0; i < field.size(); ++i) {
        if (field[i] != '\\') {
            out += field[i];
            continue;
        }
        if (++i == field.size())
            return std::nullopt;
        switch (field[i]) {
        case '\\': out += '\\'; break;
        case 't': out += '\t'; break;
        case 'n': out += '\n'; break;
        default: return std::nullopt;
        }
    }
    return out;
}

std::optional<RecentDocument> parseLine(std::string_view line)
{
    const std::size_t tab = line.find('\t');
    if (tab == std::string_view::npos || line.find('\t', tab + 1) != std::string_view::npos)
        return std::nullopt;
    auto left = unescaped(line.substr(0, tab));
    auto right = unescaped(line.substr(tab + 1));
    if (!left || !right || (left->empty() && right->empty()))
        return std::nullopt;
    return RecentDocument{std::move(*left), std::move(*right)};
}

}  // namespace

std::vector<RecentDocument> RecentDocuments::entries() const
{
    return parse(defaults_.stringForKey(defaultsKey).value_or(std::string()));
}

void RecentDocuments::add(const RecentDocument& entry)
{
    if (entry.left.empty() && entry.right.empty())
        return;
    std::vector<RecentDocument> list = entries();
    std::erase(list, entry);
    list.insert(list.begin(), entry);
    if (list.size() > limit)
        list.resize(limit);
    store(list);
}

void RecentDocuments::remove(const RecentDocument& entry)
{
    std::vector<RecentDocument> list = entries();
    std::erase(list, entry);
    store(list);
}

void RecentDocuments::clear()
{
    store({});
}

void RecentDocuments::store(const std::vector<RecentDocument>& entries)
{
    defaults_.setString(defaultsKey, format(entries));
}

std::string RecentDocuments::format(const std::vector<RecentDocument>& entries)
{
    std::string text;
    for (const RecentDocument& entry : entries)
        text += escaped(entry.left) + '\t' + escaped(entry.right) + '\n';
    return text;
}

std::vector<RecentDocument> RecentDocuments::parse(std::string_view text)
{
    std::vector<RecentDocument> list;
    while (!text.empty() && list.size() < limit) {
        const std::size_t end = text.find('\n');
        const std::string_view line = text.substr(0, end);
        text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
        if (auto entry = parseLine(line); entry && std::find(list.begin(), list.end(), *entry) == list.end())
            list.push_back(std::move(*entry));
    }
    return list;
}

}  // namespace korvex
