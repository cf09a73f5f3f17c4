#include "core/bitmap/JpegRowSource.h"

#include "core/bitmap/JpegCodec.h"

#include <cerrno>
#include <cstring>

namespace korvex {

JpegRowSource::Opened JpegRowSource::open(const std::string& path)
{
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file)
        return Opened{nullptr, std::strerror(errno)};
    return open(file);
}

JpegRowSource::Opened JpegRowSource::open(std::FILE* file)
{
    Opened opened;
    std::unique_ptr<JpegRowSource> source(new JpegRowSource);
    source->file_ = file;
    std::uint8_t head[3] = {};
    long fileBytes = -1;
    if (std::fseek(file, 0, SEEK_END) == 0)
        fileBytes = std::ftell(file);
    if (fileBytes < 0 || std::fseek(file, 0, SEEK_SET) != 0 || std::fread(head, 1, sizeof head, file) != sizeof head
        || !JpegCodec::matches(head) || std::fseek(file, 0, SEEK_SET) != 0) {
        opened.error = "not a JPEG file";
        return opened;
    }
    source->reader_ = std::make_unique<JpegRowReader>(file, std::uint64_t(fileBytes));
    source->reader_->keepExif();
    opened.error = source->reader_->start();
    if (!opened.error.empty())
        return opened;
    const Bitmap::Layout& layout = source->reader_->layout();
    source->rowBytes_ = std::size_t(layout.pixelsWide) * std::size_t(layout.samplesPerPixel);
    source->staged_ = std::make_unique_for_overwrite<std::uint8_t[]>(source->rowBytes_ * JpegRowReader::maxRowsPerRead);
    opened.source = std::move(source);
    return opened;
}

JpegRowSource::~JpegRowSource()
{
    reader_.reset();  // libjpeg lets go of the file first
    if (file_)
        std::fclose(file_);
}

bool JpegRowSource::readRows(Bitmap& band, int firstRow, int count)
{
    for (int row = firstRow; row < firstRow + count;) {
        // While a whole step of rows fits, libjpeg writes them into the band itself.
        if (nextStaged_ == stagedRows_ && firstRow + count - row >= JpegRowReader::maxRowsPerRead) {
            std::uint8_t* rows[JpegRowReader::maxRowsPerRead];
            for (int i = 0; i < JpegRowReader::maxRowsPerRead; ++i)
                rows[i] = band.bitmapData() + band.bytesPerRow() * std::size_t(row + i);
            const int read = reader_->readRows(rows);
            if (reader_->refused() || read == 0)
                return false;
            row += read;
            continue;
        }
        if (nextStaged_ == stagedRows_) {
            std::uint8_t* rows[JpegRowReader::maxRowsPerRead];
            for (int i = 0; i < JpegRowReader::maxRowsPerRead; ++i)
                rows[i] = staged_.get() + rowBytes_ * std::size_t(i);
            stagedRows_ = reader_->readRows(rows);
            nextStaged_ = 0;
            if (reader_->refused() || stagedRows_ == 0)
                return false;
        }
        std::memcpy(band.bitmapData() + band.bytesPerRow() * std::size_t(row),
                    staged_.get() + rowBytes_ * std::size_t(nextStaged_), rowBytes_);
        ++nextStaged_;
        ++row;
    }
    return true;
}

}  // namespace korvex
