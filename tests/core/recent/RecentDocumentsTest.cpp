#include "core/recent/RecentDocuments.h"

#include "core/compose/MemoryDefaults.h"

#include <gtest/gtest.h>

#include <deque>
#include <string>

namespace korvex {
namespace {

RecentDocument single(std::string path)
{
    return {std::move(path), {}};
}

// What the list should hold after a sequence of opens: a most-recently-used
// list kept by hand, newest first.
std::vector<RecentDocument> byHand(const std::vector<RecentDocument>& opened)
{
    std::deque<RecentDocument> list;
    for (const RecentDocument& entry : opened) {
        for (auto it = list.begin(); it != list.end(); ++it)
            if (it->left == entry.left && it->right == entry.right) {
                list.erase(it);
                break;
            }
        list.push_front(entry);
        while (list.size() > 10)
            list.pop_back();
    }
    return {list.begin(), list.end()};
}

TEST(RecentDocumentsTest, NewestFirstWithoutRepeatsAndAtMostTen)
{
    const RecentDocument a = single("/p/a.jpg");
    const RecentDocument b = {"/p/b-left.jpg", "/p/b-right.jpg"};
    const RecentDocument mpo = {"/p/c.mpo", "/p/c.mpo"};
    const RecentDocument right = {"", "/p/a.jpg"};  // the same file opened as a right picture
    std::vector<RecentDocument> many;
    for (int i = 0; i < 14; ++i)
        many.push_back(single("/p/" + std::to_string(i) + ".png"));
    std::vector<RecentDocument> manyThenOld = many;
    manyThenOld.push_back(many[5]);

    const std::vector<std::vector<RecentDocument>> sequences = {
        {},
        {a},
        {a, b, a},
        {a, b, mpo, b},
        {a, right, a},
        {b, RecentDocument{"/p/b-right.jpg", "/p/b-left.jpg"}},  // swapped sides are another pair
        many,
        manyThenOld,
    };
    for (const auto& opened : sequences) {
        MemoryDefaults defaults;
        RecentDocuments recent(defaults);
        for (const RecentDocument& entry : opened)
            recent.add(entry);
        EXPECT_EQ(recent.entries(), byHand(opened)) << opened.size() << " opens";
        // Another reader of the same defaults sees the same list.
        EXPECT_EQ(RecentDocuments(defaults).entries(), recent.entries());
    }
}

TEST(RecentDocumentsTest, RemoveAndClear)
{
    MemoryDefaults defaults;
    RecentDocuments recent(defaults);
    const RecentDocument a = single("/a.png");
    const RecentDocument pair = {"/l.png", "/r.png"};
    recent.add(a);
    recent.add(pair);
    recent.add({});  // nothing to remember
    recent.remove(single("/l.png"));  // not the pair
    EXPECT_EQ(recent.entries(), (std::vector<RecentDocument>{pair, a}));
    recent.remove(pair);
    EXPECT_EQ(recent.entries(), (std::vector<RecentDocument>{a}));
    recent.clear();
    EXPECT_TRUE(recent.entries().empty());
    EXPECT_EQ(defaults.stringForKey(RecentDocuments::defaultsKey), std::string());
}

TEST(RecentDocumentsTest, AnyPathSurvivesTheText)
{
    const std::vector<RecentDocument> entries = {
        {"/tab\there/new\nline/back\\slash.jpg", ""},
        {"", "/ü/日本/ends with backslash\\"},
        {"/l\\t.png", "/r\\n.png"},  // backslash then letter, not an escape
        {"/x\\", "\\"},
    };
    EXPECT_EQ(RecentDocuments::parse(RecentDocuments::format(entries)), entries);
}

TEST(RecentDocumentsTest, UnreadableLinesAreLeftOut)
{
    struct Case {
        std::string text;
        std::vector<RecentDocument> expected;
    };
    const Case cases[] = {
        {"", {}},
        {"no tab at all\n", {}},
        {"\t\n", {}},                                // no path
        {"/a\t/b\t/c\n", {}},                        // three fields
        {"/bad\\q\t\n", {}},                         // unknown escape
        {"/cut\\\t\n", {}},                          // escape cut off by the tab
        {"/a\t\n/a\t\n/b\t", {single("/a"), single("/b")}},  // repeat; last line without newline
        {"/a\t\r\n", {{"/a", "\r"}}},                // a carriage return is part of the path
        {"garbage\n/ok\t\n", {single("/ok")}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(RecentDocuments::parse(c.text), c.expected) << c.text;

    std::string eleven;
    for (int i = 0; i < 11; ++i)
        eleven += "/" + std::to_string(i) + "\t\n";
    EXPECT_EQ(RecentDocuments::parse(eleven).size(), RecentDocuments::limit);
}

}  // namespace
}  // namespace korvex
