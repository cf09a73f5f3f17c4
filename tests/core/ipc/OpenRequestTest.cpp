#include "core/ipc/OpenRequest.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace korvex;

namespace {

using Bytes = std::vector<std::uint8_t>;

// A message put together byte by byte, independently of the encoder.
Bytes message(const std::string& payload, std::uint32_t announced, std::uint8_t version = 1)
{
    Bytes m = {'K', 'V', 'X', 'O', version, std::uint8_t(announced >> 24), std::uint8_t(announced >> 16),
               std::uint8_t(announced >> 8), std::uint8_t(announced)};
    for (const char c : payload)
        m.push_back(std::uint8_t(c));
    return m;
}

Bytes message(const std::string& payload)
{
    return message(payload, std::uint32_t(payload.size()));
}

TEST(OpenRequest, EncodesToTheDocumentedBytes)
{
    OpenRequest request;
    request.documents = {"/a b/x.jpg", "/y.mpo"};
    request.left = "/l.png";
    request.right = "/r.png";
    const std::string payload = std::string("D/a b/x.jpg") + '\0' + "D/y.mpo" + '\0' + "L/l.png" + '\0' + "R/r.png";
    EXPECT_EQ(encodeOpenRequest(request), message(payload));
    EXPECT_EQ(encodeOpenRequest(OpenRequest{}), message(""));
}

TEST(OpenRequest, RoundTripsWhatCanBeSent)
{
    const std::vector<OpenRequest> requests = {
        {},
        {{"/one.jpg"}, "", ""},
        {{}, "/left.jpg", ""},
        {{}, "", "/right.jpg"},
        {{"/\xff\xfe not utf-8", "/caf\xc3\xa9.jps"}, "/l", "/r"},
        {std::vector<std::string>(openRequest::maxEntries, "/p"), "", ""},
    };
    for (const OpenRequest& request : requests) {
        const Bytes bytes = encodeOpenRequest(request);
        ASSERT_FALSE(bytes.empty());
        EXPECT_EQ(openRequestState(bytes), OpenRequestState::Complete);
        EXPECT_EQ(decodeOpenRequest(bytes), request);
    }
}

TEST(OpenRequest, RefusesToEncodeWhatMayNotCross)
{
    const std::vector<OpenRequest> requests = {
        {{"relative.jpg"}, "", ""},
        {{""}, "", ""},
        {{std::string("/a\0b", 4)}, "", ""},
        {{}, "left.jpg", ""},
        {std::vector<std::string>(openRequest::maxEntries + 1, "/p"), "", ""},
        {{"/" + std::string(openRequest::maxPayload, 'x')}, "", ""},
    };
    for (const OpenRequest& request : requests)
        EXPECT_TRUE(encodeOpenRequest(request).empty());
}

TEST(OpenRequest, StateOfWhatHasArrived)
{
    const Bytes whole = message("D/x.jpg");
    for (std::size_t n = 0; n < whole.size(); ++n)
        EXPECT_EQ(openRequestState(std::span(whole).first(n)), OpenRequestState::NeedMore) << n;
    EXPECT_EQ(openRequestState(whole), OpenRequestState::Complete);

    struct Case {
        const char* what;
        Bytes bytes;
    };
    Bytes trailing = whole;
    trailing.push_back('!');
    const std::vector<Case> malformed = {
        {"wrong first byte", Bytes{'G'}},
        {"wrong magic", Bytes{'K', 'V', 'X', 'P'}},
        {"HTTP", Bytes{'G', 'E', 'T', ' ', '/'}},
        {"unknown version", message("D/x", 3, 2)},
        {"announces more than the limit", message("", std::uint32_t(openRequest::maxPayload + 1))},
        {"announces 4 GB", message("", 0xffffffffu)},
        {"bytes past the end", trailing},
    };
    for (const Case& c : malformed) {
        EXPECT_EQ(openRequestState(c.bytes), OpenRequestState::Malformed) << c.what;
        EXPECT_FALSE(decodeOpenRequest(c.bytes)) << c.what;
    }
    // The largest allowed payload is still waited for.
    EXPECT_EQ(openRequestState(message("", std::uint32_t(openRequest::maxPayload))), OpenRequestState::NeedMore);
}

TEST(OpenRequest, DecodesOnlyWellFormedEntries)
{
    const std::string nul(1, '\0');
    const std::vector<std::pair<const char*, std::string>> bad = {
        {"relative path", "Dx.jpg"},
        {"kind without path", "D"},
        {"unknown kind", "X/x.jpg"},
        {"lower-case kind", "d/x.jpg"},
        {"empty entry", "D/a" + nul + nul + "D/b"},
        {"trailing separator", "D/a" + nul},
        {"leading separator", nul + "D/a"},
        {"two left pictures", "L/a" + nul + "L/b"},
        {"two right pictures", "R/a" + nul + "R/b"},
    };
    for (const auto& [what, payload] : bad)
        EXPECT_FALSE(decodeOpenRequest(message(payload))) << what;

    std::string many;
    for (std::size_t i = 0; i <= openRequest::maxEntries; ++i)
        many += (i ? nul : std::string()) + "D/p";
    EXPECT_FALSE(decodeOpenRequest(message(many)));

    const auto ok = decodeOpenRequest(message("R/r" + nul + "D/d" + nul + "L/l"));
    ASSERT_TRUE(ok);
    EXPECT_EQ(ok->documents, std::vector<std::string>{"/d"});
    EXPECT_EQ(ok->left, "/l");
    EXPECT_EQ(ok->right, "/r");
}

}  // namespace
