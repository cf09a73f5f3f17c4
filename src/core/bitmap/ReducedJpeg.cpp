#include "core/bitmap/ReducedJpeg.h"

#include "core/bitmap/JpegCodec.h"
#include "core/bitmap/JpegRowReader.h"

#include <algorithm>
#include <cstdio>

namespace korvex {

ReducedJpeg ReducedJpeg::decode(const std::string& path, int longerSide)
{
    ReducedJpeg reduced;
    const std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::fopen(path.c_str(), "rb"), &std::fclose);
    if (!file)
        return reduced;
    std::uint8_t head[3] = {};
    if (std::fseek(file.get(), 0, SEEK_END) != 0)
        return reduced;
    const long fileBytes = std::ftell(file.get());
    if (fileBytes < 0 || std::fseek(file.get(), 0, SEEK_SET) != 0
        || std::fread(head, 1, sizeof head, file.get()) != sizeof head || !JpegCodec::matches(head)
        || std::fseek(file.get(), 0, SEEK_SET) != 0)
        return reduced;
    JpegRowReader reader(file.get(), std::uint64_t(fileBytes));
    reader.keepExif();
    reader.reduceTo(longerSide);
    if (!reader.start().empty())
        return reduced;
    std::unique_ptr<Bitmap> bitmap = Bitmap::create(reader.layout());
    if (!bitmap)
        return reduced;
    std::uint8_t* rows[JpegRowReader::maxRowsPerRead];
    for (int row = 0; row < bitmap->pixelsHigh();) {
        for (int i = 0; i < JpegRowReader::maxRowsPerRead; ++i)
            rows[i] = bitmap->bitmapData() + bitmap->bytesPerRow() * std::size_t(std::min(row + i, bitmap->pixelsHigh() - 1));
        const int read = reader.readRows(rows);
        if (read == 0 || reader.refused())
            return reduced;
        row += read;
    }
    if (!reader.finish().error.empty())
        return reduced;
    reduced.bitmap = std::move(bitmap);
    reduced.storedWide = reader.storedWide();
    reduced.storedHigh = reader.storedHigh();
    reduced.exifOrientation = reader.exifOrientation();
    return reduced;
}

}  // namespace korvex
