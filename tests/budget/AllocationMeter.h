#pragma once

#include <cstddef>

// Counts the heap bytes a piece of work holds at its peak, in this process
// only (meant for a forked child). In the ordinary build this program
// replaces malloc and its kin; under the address sanitizer its allocator
// hooks do the counting.
namespace korvex::testing::meter {

// Counts from zero from now on. Once more than `limit` bytes are held the
// process writes a line naming the request to `reportFd` and exits at once,
// so that a blow-up fails in milliseconds instead of swapping.
void start(std::size_t limit, int reportFd);
void stop();
// The most bytes held at one time since start().
std::size_t peak();

}  // namespace korvex::testing::meter
