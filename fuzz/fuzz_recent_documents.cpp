// The recent documents list as read back from the user defaults, which the
// user (or another program) may have edited: any text must parse without
// fault, and what it gives must survive writing and reading again.
#include "core/recent/RecentDocuments.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using korvex::RecentDocuments;
    const auto entries = RecentDocuments::parse(std::string_view(reinterpret_cast<const char*>(data), size));
    if (entries.size() > RecentDocuments::limit || RecentDocuments::parse(RecentDocuments::format(entries)) != entries)
        std::abort();
    return 0;
}
