#include "core/io/AtomicFileWriter.h"

#include "core/io/AtomicFileStream.h"

namespace korvex {

std::string AtomicFileWriter::write(const std::string& path, std::span<const std::uint8_t> data, Existing existing)
{
    AtomicFileStream stream;
    std::string failure = stream.open(path);
    if (failure.empty())
        failure = stream.append(data);
    if (failure.empty())
        failure = stream.commit(existing);
    return failure;
}

}  // namespace korvex
