#include "core/ipc/OpenRequest.h"

#include <algorithm>

namespace korvex {

namespace {

constexpr std::uint8_t magic[] = {'K', 'V', 'X', 'O'};
constexpr std::uint8_t version = 1;

bool isSendablePath(const std::string& path)
{
    return !path.empty() && path.front() == '/' && path.find('\0') == std::string::npos;
}

std::size_t announcedLength(std::span<const std::uint8_t> header)
{
    return std::size_t(header[5]) << 24 | std::size_t(header[6]) << 16 | std::size_t(header[7]) << 8
           | std::size_t(header[8]);
}

}  // namespace

std::vector<std::uint8_t> encodeOpenRequest(const OpenRequest& request)
{
    std::vector<std::pair<char, const std::string*>> entries;
    for (const std::string& path : request.documents)
        entries.emplace_back('D', &path);
    if (!request.left.empty())
        entries.emplace_back('L', &request.left);
    if (!request.right.empty())
        entries.emplace_back('R', &request.right);
    if (entries.size() > openRequest::maxEntries)
        return {};

    std::vector<std::uint8_t> payload;
    for (const auto& [kind, path] : entries) {
        if (!isSendablePath(*path))
            return {};
        if (!payload.empty())
            payload.push_back(0);
        payload.push_back(std::uint8_t(kind));
        payload.insert(payload.end(), path->begin(), path->end());
    }
    if (payload.size() > openRequest::maxPayload)
        return {};

    std::vector<std::uint8_t> message(std::begin(magic), std::end(magic));
    message.push_back(version);
    const std::size_t n = payload.size();
    for (int shift = 24; shift >= 0; shift -= 8)
        message.push_back(std::uint8_t(n >> shift));
    message.insert(message.end(), payload.begin(), payload.end());
    return message;
}

OpenRequestState openRequestState(std::span<const std::uint8_t> received)
{
    // Judge the header as soon as each of its bytes arrives, so that a wrong
    // sender is dropped before it can send more.
    const std::size_t known = std::min(received.size(), sizeof magic);
    if (!std::equal(received.begin(), received.begin() + std::ptrdiff_t(known), magic))
        return OpenRequestState::Malformed;
    if (received.size() > sizeof magic && received[sizeof magic] != version)
        return OpenRequestState::Malformed;
    if (received.size() < openRequest::headerSize)
        return OpenRequestState::NeedMore;
    const std::size_t length = announcedLength(received);
    if (length > openRequest::maxPayload)
        return OpenRequestState::Malformed;
    const std::size_t total = openRequest::headerSize + length;
    if (received.size() < total)
        return OpenRequestState::NeedMore;
    return received.size() == total ? OpenRequestState::Complete : OpenRequestState::Malformed;
}

std::optional<OpenRequest> decodeOpenRequest(std::span<const std::uint8_t> message)
{
    if (openRequestState(message) != OpenRequestState::Complete)
        return std::nullopt;
    const auto payload = message.subspan(openRequest::headerSize);
    OpenRequest request;
    if (payload.empty())
        return request;  // no files: a new window

    std::size_t entries = 0;
    auto begin = payload.begin();
    while (true) {
        const auto end = std::find(begin, payload.end(), std::uint8_t(0));
        if (++entries > openRequest::maxEntries || end - begin < 2)
            return std::nullopt;
        const char kind = char(*begin);
        std::string path(begin + 1, end);
        if (!isSendablePath(path))
            return std::nullopt;
        if (kind == 'D') {
            request.documents.push_back(std::move(path));
        } else if (kind == 'L' && request.left.empty()) {
            request.left = std::move(path);
        } else if (kind == 'R' && request.right.empty()) {
            request.right = std::move(path);
        } else {
            return std::nullopt;
        }
        if (end == payload.end())
            break;
        begin = end + 1;
    }
    return request;
}

}  // namespace korvex
