// Any bytes as a message from another start of the program: the state of
// every prefix, and a decoded request must encode back to the same bytes.
#include "core/ipc/OpenRequest.h"

#include <cstddef>
#include <cstdint>
#include <span>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace korvex;
    const std::span<const std::uint8_t> bytes(data, size);
    bool malformed = false;
    for (std::size_t n = 0; n <= size; ++n) {
        const OpenRequestState state = openRequestState(bytes.first(n));
        // Once malformed, more bytes never mend a message.
        if (malformed && state != OpenRequestState::Malformed)
            __builtin_trap();
        malformed = state == OpenRequestState::Malformed;
    }
    const auto request = decodeOpenRequest(bytes);
    if (request) {
        const auto again = encodeOpenRequest(*request);
        if (decodeOpenRequest(again) != request)
            __builtin_trap();
    }
    return 0;
}
