#pragma once

#include "core/compose/UserDefaults.h"

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace korvex {

// One thing the user opened: a left picture, a right picture, or both (a
// pair; a stereo file names itself for both).
struct RecentDocument {
    std::string left;
    std::string right;

    bool isPair() const { return !left.empty() && !right.empty(); }
    bool operator==(const RecentDocument&) const = default;
};

// The recently opened pictures and pairs, newest first, kept in the user
// defaults as text: one entry a line, its left and right path apart by a tab,
// with backslash, tab and newline escaped in the paths.
class RecentDocuments {
public:
    static constexpr std::string_view defaultsKey = "RecentDocuments";
    static constexpr std::size_t limit = 10;

    explicit RecentDocuments(UserDefaults& defaults) : defaults_(defaults) {}

    std::vector<RecentDocument> entries() const;
    // Puts the entry first; an equal one further down goes, and so do those
    // past the limit. An entry without a path is not kept.
    void add(const RecentDocument& entry);
    void remove(const RecentDocument& entry);
    void clear();

    static std::string format(const std::vector<RecentDocument>& entries);
    // Lines that cannot be read, repeats and entries past the limit are left out.
    static std::vector<RecentDocument> parse(std::string_view text);

private:
    void store(const std::vector<RecentDocument>& entries);

    UserDefaults& defaults_;
};

}  // namespace korvex
