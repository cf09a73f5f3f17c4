#include "core/bitmap/JpegRowReader.h"

#include "core/bitmap/ExifOrientation.h"
#include "core/bitmap/ImageDecoder.h"
#include "core/bitmap/JpegLibrary.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace korvex {

struct JpegRowReader::State {
    jpeg_decompress_struct cinfo{};
    jpeg::Errors errors;
    jpeg_progress_mgr progress{};
    bool created = false;
    bool keepExif = false;
    int reducedLongerSide = 0;  // 0: full size
    bool multiScan = false;
    bool failed = false;       // a fatal error stopped the decoder
    int rowsDecoded = 0;       // rows libjpeg gave before it stopped
    int delivered = 0;         // rows handed out, black ones included
    Bitmap::Layout layout;
    std::vector<std::uint8_t> cmykRow;
    std::vector<std::uint8_t> exif;  // SOI and the APP1 segment, for exifOrientation
    std::span<const std::uint8_t> data;
    std::FILE* file = nullptr;
    std::uint64_t fileBytes = 0;

    ~State()
    {
        if (created)
            jpeg_destroy_decompress(&cinfo);
    }
};

namespace {

// Step functions: between setjmp and the libjpeg calls only plain data lives.
bool createDecompress(j_decompress_ptr cinfo, jpeg::Errors* errors)
{
    if (setjmp(errors->jump))
        return false;
    jpeg_create_decompress(cinfo);
    return true;
}

bool readHeader(j_decompress_ptr cinfo, jpeg::Errors* errors, const std::uint8_t* data, std::size_t size,
                std::FILE* file, bool keepExif, bool* multiScan)
{
    if (setjmp(errors->jump))
        return false;
    cinfo->mem->max_memory_to_use = jpeg::maxLibraryMemory;
    if (file)
        jpeg_stdio_src(cinfo, file);
    else
        jpeg_mem_src(cinfo, data, static_cast<unsigned long>(size));
    if (keepExif)
        jpeg_save_markers(cinfo, JPEG_APP0 + 1, 0xFFFF);
    jpeg_read_header(cinfo, TRUE);
    *multiScan = jpeg_has_multiple_scans(cinfo);
    return true;
}

bool startDecompress(j_decompress_ptr cinfo, jpeg::Errors* errors)
{
    if (setjmp(errors->jump))
        return false;
    switch (cinfo->jpeg_color_space) {
    case JCS_GRAYSCALE:
        cinfo->out_color_space = JCS_GRAYSCALE;
        break;
    case JCS_CMYK:
    case JCS_YCCK:
        cinfo->out_color_space = JCS_CMYK;
        break;
    default:
        cinfo->out_color_space = JCS_EXT_RGB;
        break;
    }
    jpeg_start_decompress(cinfo);
    return true;
}

// Stored CMYK is inverted in Adobe files (as Photoshop writes it), plain otherwise.
void cmykToRgb(const std::uint8_t* cmyk, std::uint8_t* rgb, JDIMENSION width, bool inverted)
{
    const unsigned flip = inverted ? 0 : 255;
    for (JDIMENSION x = 0; x < width; ++x, cmyk += 4, rgb += 3) {
        const unsigned k = cmyk[3] ^ flip;  // 255 - K
        rgb[0] = std::uint8_t(((cmyk[0] ^ flip) * k + 127) / 255);
        rgb[1] = std::uint8_t(((cmyk[1] ^ flip) * k + 127) / 255);
        rgb[2] = std::uint8_t(((cmyk[2] ^ flip) * k + 127) / 255);
    }
}

// Reads `count` rows (one for CMYK, converted) and, after the last row of
// the picture, finishes the decompression in the same step.
bool readScanlines(j_decompress_ptr cinfo, jpeg::Errors* errors, JSAMPROW* rows, JDIMENSION count,
                   std::uint8_t* cmykRow)
{
    if (setjmp(errors->jump))
        return false;
    if (cmykRow) {
        JSAMPROW cmyk = cmykRow;
        if (jpeg_read_scanlines(cinfo, &cmyk, 1) == 1)
            cmykToRgb(cmykRow, rows[0], cinfo->output_width, cinfo->saw_Adobe_marker);
    } else {
        jpeg_read_scanlines(cinfo, rows, count);
    }
    if (cinfo->output_scanline >= cinfo->output_height)
        jpeg_finish_decompress(cinfo);
    return true;
}

}  // namespace

JpegRowReader::JpegRowReader(std::span<const std::uint8_t> data) : s_(std::make_unique<State>())
{
    s_->data = data;
    s_->fileBytes = data.size();
}

JpegRowReader::JpegRowReader(std::FILE* file, std::uint64_t fileBytes) : s_(std::make_unique<State>())
{
    s_->file = file;
    s_->fileBytes = fileBytes;
}

JpegRowReader::~JpegRowReader() = default;

void JpegRowReader::keepExif()
{
    s_->keepExif = true;
}

void JpegRowReader::reduceTo(int longerSide)
{
    s_->reducedLongerSide = longerSide;
}

std::string JpegRowReader::start()
{
    State& s = *s_;
    jpeg::initErrors(&s.errors);
    s.progress.progress_monitor = jpeg::onProgress;
    s.cinfo.err = &s.errors.mgr;
    if (!createDecompress(&s.cinfo, &s.errors))
        return std::string("cannot read JPEG: ") + s.errors.message;
    s.created = true;
    s.cinfo.progress = &s.progress;

    if (!readHeader(&s.cinfo, &s.errors, s.data.data(), s.data.size(), s.file, s.keepExif, &s.multiScan))
        return std::string(s.errors.endOfData ? "truncated" : "damaged") + " JPEG file: " + s.errors.message;
    std::string error = ImageLimits::check(s.cinfo.image_width, s.cinfo.image_height);
    if (error.empty()) {
        // Huffman coding spends at least a bit on every 8 x 8 block (512
        // pixels a byte); twice that leaves room for arithmetic coding.
        constexpr std::uint64_t maxPixelsPerByte = 1024;
        // Progressive files keep 2 bytes of coefficients a sample besides the pixels.
        const std::uint64_t pixels = std::uint64_t(s.cinfo.image_width) * s.cinfo.image_height;
        const std::uint64_t bytesPerSample = s.multiScan ? 3 : 1;
        error = ImageLimits::checkFileCanFill(s.cinfo.image_width, s.cinfo.image_height,
                                              pixels * std::uint64_t(s.cinfo.num_components) * bytesPerSample,
                                              pixels, s.fileBytes, maxPixelsPerByte);
    }
    if (!error.empty())
        return error;
    // The APP1 segments (EXIF, XMP) as a stream of their own for exifOrientation.
    for (jpeg_saved_marker_ptr m = s.cinfo.marker_list; m; m = m->next) {
        if (m->marker != JPEG_APP0 + 1)
            continue;
        if (s.exif.empty())
            s.exif = {0xFF, 0xD8};
        const unsigned length = m->data_length + 2;
        s.exif.insert(s.exif.end(), {0xFF, 0xE1, std::uint8_t(length >> 8), std::uint8_t(length & 0xFF)});
        s.exif.insert(s.exif.end(), m->data, m->data + m->data_length);
    }
    if (s.reducedLongerSide > 0) {
        const unsigned stored = std::max(s.cinfo.image_width, s.cinfo.image_height);
        unsigned denominator = 8;
        while (denominator > 1 && (stored + denominator - 1) / denominator < unsigned(s.reducedLongerSide))
            denominator /= 2;
        s.cinfo.scale_num = 1;
        s.cinfo.scale_denom = denominator;
    }
    s.errors.decompressing = true;
    if (!startDecompress(&s.cinfo, &s.errors)) {
        return jpeg::nothingArrived(s.errors, s.multiScan) ? std::string("truncated JPEG file: ") + s.errors.damage
                                                            : std::string("damaged JPEG file: ") + s.errors.message;
    }
    s.layout.pixelsWide = int(s.cinfo.output_width);
    s.layout.pixelsHigh = int(s.cinfo.output_height);
    s.layout.samplesPerPixel = s.cinfo.out_color_space == JCS_GRAYSCALE ? 1 : 3;
    s.layout.colorSpace = s.layout.samplesPerPixel == 1 ? ColorSpace::CalibratedWhite : ColorSpace::CalibratedRGB;
    if (s.cinfo.out_color_space == JCS_CMYK)
        s.cmykRow.resize(std::size_t(s.layout.pixelsWide) * 4);
    return {};
}

const Bitmap::Layout& JpegRowReader::layout() const
{
    return s_->layout;
}

int JpegRowReader::storedWide() const
{
    return int(s_->cinfo.image_width);
}

int JpegRowReader::storedHigh() const
{
    return int(s_->cinfo.image_height);
}

int JpegRowReader::exifOrientation() const
{
    return s_->exif.empty() ? 1 : korvex::exifOrientation(s_->exif);
}

int JpegRowReader::readRows(std::uint8_t* const* rows)
{
    State& s = *s_;
    const int left = s.layout.pixelsHigh - s.delivered;
    const int count = std::min(s.cmykRow.empty() ? maxRowsPerRead : 1, left);
    if (count <= 0)
        return 0;
    int decoded = 0;
    if (!s.failed) {
        const int before = int(s.cinfo.output_scanline);
        JSAMPROW scanlines[maxRowsPerRead];
        std::copy(rows, rows + count, scanlines);
        s.failed = !readScanlines(&s.cinfo, &s.errors, scanlines, JDIMENSION(count),
                                  s.cmykRow.empty() ? nullptr : s.cmykRow.data());
        decoded = int(s.cinfo.output_scanline) - before;
        s.rowsDecoded = int(s.cinfo.output_scanline);
    }
    if (!s.failed) {
        s.delivered += decoded;  // fewer than asked when libjpeg's step is shorter
        return decoded;
    }
    // What a fatal error left undecoded reads as black, the rows of the step it broke
    // included; an error in the final step after the last row leaves every row.
    const std::size_t rowBytes = std::size_t(s.layout.pixelsWide) * std::size_t(s.layout.samplesPerPixel);
    for (int i = decoded; i < count; ++i)
        std::memset(rows[i], 0, rowBytes);
    s.delivered += count;
    return count;
}

int JpegRowReader::rowsDelivered() const
{
    return s_->delivered;
}

bool JpegRowReader::refused() const
{
    return jpeg::nothingArrived(s_->errors, s_->multiScan) || (s_->failed && s_->rowsDecoded == 0);
}

JpegRowReader::Outcome JpegRowReader::finish() const
{
    const State& s = *s_;
    // A file cut short: libjpeg fills the missing blocks of a sequential file
    // with mid grey and keeps the earlier scans of a progressive one. Keep the
    // picture if its data reached past the first block row or the first scan.
    if (jpeg::nothingArrived(s.errors, s.multiScan))
        return {std::string("truncated JPEG file: ") + s.errors.damage, {}};
    if (s.failed) {
        if (s.rowsDecoded == 0)
            return {std::string("damaged JPEG file: ") + s.errors.message, {}};
        return {{}, codec::damagedWarning(s.errors.message, "black")};
    }
    if (s.errors.endOfData)
        return {{}, codec::damagedWarning(s.errors.damage, s.multiScan ? "at a coarser quality" : "grey")};
    if (s.errors.damaged)
        return {{}, std::string("file is damaged (") + s.errors.damage + "); some blocks may be wrong"};
    return {};
}

}  // namespace korvex
