#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace korvex {

// What a second start of the program asks the running one to open: files as
// documents, and optionally a left and a right picture for one new document.
// Nothing else crosses: only absolute file paths.
struct OpenRequest {
    std::vector<std::string> documents;
    std::string left;
    std::string right;
    bool operator==(const OpenRequest&) const = default;
};

// The message: "KVXO", a version byte, the payload's length (4 bytes, big
// endian), then entries separated by NUL bytes, each a kind letter ('D'
// document, 'L' left, 'R' right) followed by an absolute path.
namespace openRequest {
inline constexpr std::size_t headerSize = 9;
inline constexpr std::size_t maxPayload = 64 * 1024;
inline constexpr std::size_t maxEntries = 256;
}  // namespace openRequest

// An empty vector when the request cannot be sent (a relative or empty path,
// a path with a NUL, or more than the limits allow).
std::vector<std::uint8_t> encodeOpenRequest(const OpenRequest& request);

// How far the bytes received so far go: a header that is wrong, announces
// more than the limit, or bytes past the announced end make it malformed.
enum class OpenRequestState { NeedMore, Complete, Malformed };
OpenRequestState openRequestState(std::span<const std::uint8_t> received);

// The request of a complete, well-formed message; nothing for anything else.
std::optional<OpenRequest> decodeOpenRequest(std::span<const std::uint8_t> message);

}  // namespace korvex
