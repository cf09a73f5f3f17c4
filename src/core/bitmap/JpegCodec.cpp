#include "core/bitmap/JpegCodec.h"

#include "core/bitmap/CodecSupport.h"
#include "core/bitmap/RowConverter.h"

#include <cstdio>  // jpeglib.h needs FILE
#include <jerror.h>
#include <jpeglib.h>

#include <algorithm>
#include <cmath>
#include <csetjmp>
#include <new>
#include <vector>

namespace korvex {

namespace {

// A progressive file may hold any number of scans, each a full pass over the
// coefficients; real files have around ten.
constexpr int maxScans = 500;
// libjpeg's own buffers (the coefficients of a progressive picture) stay
// below this; the pixels themselves are bounded by ImageLimits.
constexpr long maxLibraryMemory = 2L << 30;

// Error manager: plain data, reached from libjpeg's callbacks, which leave
// through longjmp to the setjmp of the step function that is running.
struct JpegErrors {
    jpeg_error_mgr mgr;
    std::jmp_buf jump;
    char message[codec::messageSize];
    char damage[codec::messageSize];
    bool endOfData;
    bool damaged;
    bool decompressing;  // from jpeg_start_decompress on
    JDIMENSION rowsAtEnd;
    int scanAtEnd;
};

// A cut file keeps its picture only if its data reached past the first block
// row (sequential) or the first scan (progressive).
bool nothingArrived(const JpegErrors& errors, bool multiScan)
{
    return errors.endOfData && (multiScan ? errors.scanAtEnd <= 1 : errors.rowsAtEnd == 0);
}

void formatMessage(j_common_ptr cinfo, char (&target)[codec::messageSize])
{
    char text[JMSG_LENGTH_MAX];
    cinfo->err->format_message(cinfo, text);
    codec::copyMessage(target, text);
}

[[noreturn]] void onErrorExit(j_common_ptr cinfo)
{
    auto* errors = reinterpret_cast<JpegErrors*>(cinfo->err);
    formatMessage(cinfo, errors->message);
    std::longjmp(errors->jump, 1);
}

void onOutputMessage(j_common_ptr) {}

void onEmitMessage(j_common_ptr cinfo, int level)
{
    if (level >= 0)
        return;  // trace messages
    auto* errors = reinterpret_cast<JpegErrors*>(cinfo->err);
    const int code = cinfo->err->msg_code;
    if (code == JWRN_JPEG_EOF && !errors->endOfData && cinfo->is_decompressor) {
        auto* dinfo = reinterpret_cast<j_decompress_ptr>(cinfo);
        errors->endOfData = true;
        errors->rowsAtEnd = dinfo->output_scanline;
        errors->scanAtEnd = dinfo->input_scan_number;
        formatMessage(cinfo, errors->damage);
        // Decoding on would only fill the whole declared picture with grey
        // before it is refused: a few hundred bytes must not cost seconds.
        if (errors->decompressing && nothingArrived(*errors, jpeg_has_multiple_scans(dinfo)))
            std::longjmp(errors->jump, 1);
    } else if (!errors->damaged && !errors->endOfData
               && (code == JWRN_HIT_MARKER || code == JWRN_MUST_RESYNC || code == JWRN_NOT_SEQUENTIAL
                   || code == JWRN_BOGUS_PROGRESSION)) {
        errors->damaged = true;
        formatMessage(cinfo, errors->damage);
    }
    ++cinfo->err->num_warnings;
}

void initErrors(JpegErrors* errors)
{
    jpeg_std_error(&errors->mgr);
    errors->mgr.error_exit = onErrorExit;
    errors->mgr.output_message = onOutputMessage;
    errors->mgr.emit_message = onEmitMessage;
    errors->message[0] = '\0';
    errors->damage[0] = '\0';
    errors->endOfData = false;
    errors->damaged = false;
    errors->decompressing = false;
    errors->rowsAtEnd = 0;
    errors->scanAtEnd = 0;
}

void onProgress(j_common_ptr cinfo)
{
    if (!cinfo->is_decompressor)
        return;
    if (reinterpret_cast<j_decompress_ptr>(cinfo)->input_scan_number > maxScans) {
        auto* errors = reinterpret_cast<JpegErrors*>(cinfo->err);
        codec::copyMessage(errors->message, "too many progressive scans");
        std::longjmp(errors->jump, 1);
    }
}

// Step functions: between setjmp and the libjpeg calls only plain data lives.
bool createDecompress(j_decompress_ptr cinfo, JpegErrors* errors)
{
    if (setjmp(errors->jump))
        return false;
    jpeg_create_decompress(cinfo);
    return true;
}

bool readHeader(j_decompress_ptr cinfo, JpegErrors* errors, const std::uint8_t* data, std::size_t size,
                bool* multiScan)
{
    if (setjmp(errors->jump))
        return false;
    cinfo->mem->max_memory_to_use = maxLibraryMemory;
    jpeg_mem_src(cinfo, data, static_cast<unsigned long>(size));
    jpeg_read_header(cinfo, TRUE);
    *multiScan = jpeg_has_multiple_scans(cinfo);
    return true;
}

bool startDecompress(j_decompress_ptr cinfo, JpegErrors* errors)
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

bool readRows(j_decompress_ptr cinfo, JpegErrors* errors, std::uint8_t* firstRow, std::size_t bytesPerRow,
              std::uint8_t* cmykRow)
{
    if (setjmp(errors->jump))
        return false;
    const bool inverted = cinfo->saw_Adobe_marker;
    JSAMPROW rows[16];
    while (cinfo->output_scanline < cinfo->output_height) {
        const JDIMENSION y = cinfo->output_scanline;
        if (cmykRow) {
            rows[0] = cmykRow;
            if (jpeg_read_scanlines(cinfo, rows, 1) == 1)
                cmykToRgb(cmykRow, firstRow + std::size_t(y) * bytesPerRow, cinfo->output_width, inverted);
            continue;
        }
        const JDIMENSION count = std::min<JDIMENSION>(16, cinfo->output_height - y);
        for (JDIMENSION i = 0; i < count; ++i)
            rows[i] = firstRow + std::size_t(y + i) * bytesPerRow;
        jpeg_read_scanlines(cinfo, rows, count);
    }
    jpeg_finish_decompress(cinfo);
    return true;
}

struct Decompressor {
    jpeg_decompress_struct cinfo{};
    bool created = false;
    ~Decompressor()
    {
        if (created)
            jpeg_destroy_decompress(&cinfo);
    }
};

// Destination appending to a vector in blocks.
struct JpegDestination {
    jpeg_destination_mgr mgr;
    std::vector<std::uint8_t>* out;
    JOCTET buffer[64 * 1024];
};

bool appendTo(std::vector<std::uint8_t>* out, const JOCTET* data, std::size_t length)
{
    try {
        out->insert(out->end(), data, data + length);
        return true;
    } catch (const std::bad_alloc&) {
        return false;
    }
}

void initDestination(j_compress_ptr cinfo)
{
    auto* dest = reinterpret_cast<JpegDestination*>(cinfo->dest);
    dest->mgr.next_output_byte = dest->buffer;
    dest->mgr.free_in_buffer = sizeof dest->buffer;
}

boolean emptyDestination(j_compress_ptr cinfo)
{
    auto* dest = reinterpret_cast<JpegDestination*>(cinfo->dest);
    if (!appendTo(dest->out, dest->buffer, sizeof dest->buffer))
        ERREXIT1(cinfo, JERR_OUT_OF_MEMORY, 0);
    initDestination(cinfo);
    return TRUE;
}

void termDestination(j_compress_ptr cinfo)
{
    auto* dest = reinterpret_cast<JpegDestination*>(cinfo->dest);
    if (!appendTo(dest->out, dest->buffer, sizeof dest->buffer - dest->mgr.free_in_buffer))
        ERREXIT1(cinfo, JERR_OUT_OF_MEMORY, 0);
}

struct JpegTarget {
    JDIMENSION width;
    JDIMENSION height;
    bool grey;
    int quality;
};

bool createCompress(j_compress_ptr cinfo, JpegErrors* errors)
{
    if (setjmp(errors->jump))
        return false;
    jpeg_create_compress(cinfo);
    return true;
}

bool writeAll(j_compress_ptr cinfo, JpegErrors* errors, const JpegTarget* target, const RowConverter* rows,
              std::uint8_t* scratch)
{
    if (setjmp(errors->jump))
        return false;
    cinfo->image_width = target->width;
    cinfo->image_height = target->height;
    cinfo->input_components = target->grey ? 1 : 3;
    cinfo->in_color_space = target->grey ? JCS_GRAYSCALE : JCS_EXT_RGB;
    jpeg_set_defaults(cinfo);
    jpeg_set_quality(cinfo, target->quality, TRUE);
    // Anaglyphs put sharp edges in the colour channels; chroma subsampling
    // smears them, so high qualities keep full chroma (4:4:4), lower ones 4:2:0.
    if (!target->grey && target->quality >= 90) {
        cinfo->comp_info[0].h_samp_factor = 1;
        cinfo->comp_info[0].v_samp_factor = 1;
    }
    jpeg_start_compress(cinfo, TRUE);
    for (JDIMENSION y = 0; y < target->height; ++y) {
        JSAMPROW row = const_cast<JSAMPROW>(rows->row(int(y), scratch));
        jpeg_write_scanlines(cinfo, &row, 1);
    }
    jpeg_finish_compress(cinfo);
    return true;
}

struct Compressor {
    jpeg_compress_struct cinfo{};
    bool created = false;
    ~Compressor()
    {
        if (created)
            jpeg_destroy_compress(&cinfo);
    }
};

}  // namespace

bool JpegCodec::matches(std::span<const std::uint8_t> data)
{
    return data.size() >= 3 && data[0] == 0xff && data[1] == 0xd8 && data[2] == 0xff;
}

DecodeResult JpegCodec::decode(std::span<const std::uint8_t> data)
{
    DecodeResult result;
    JpegErrors errors;
    initErrors(&errors);
    jpeg_progress_mgr progress{};
    progress.progress_monitor = onProgress;

    Decompressor d;
    d.cinfo.err = &errors.mgr;
    if (!createDecompress(&d.cinfo, &errors)) {
        result.error = std::string("cannot read JPEG: ") + errors.message;
        return result;
    }
    d.created = true;
    d.cinfo.progress = &progress;

    bool multiScan = false;
    if (!readHeader(&d.cinfo, &errors, data.data(), data.size(), &multiScan)) {
        result.error = std::string(errors.endOfData ? "truncated" : "damaged") + " JPEG file: " + errors.message;
        return result;
    }
    result.error = ImageLimits::check(d.cinfo.image_width, d.cinfo.image_height);
    if (result.error.empty()) {
        // Huffman coding spends at least a bit on every 8 x 8 block (512
        // pixels a byte); twice that leaves room for arithmetic coding.
        constexpr std::uint64_t maxPixelsPerByte = 1024;
        // Progressive files keep 2 bytes of coefficients a sample besides the pixels.
        const std::uint64_t pixels = std::uint64_t(d.cinfo.image_width) * d.cinfo.image_height;
        const std::uint64_t bytesPerSample = multiScan ? 3 : 1;
        result.error = ImageLimits::checkFileCanFill(d.cinfo.image_width, d.cinfo.image_height,
                                                     pixels * std::uint64_t(d.cinfo.num_components) * bytesPerSample,
                                                     pixels, data.size(), maxPixelsPerByte);
    }
    if (!result.error.empty())
        return result;
    errors.decompressing = true;
    if (!startDecompress(&d.cinfo, &errors)) {
        result.error = nothingArrived(errors, multiScan) ? std::string("truncated JPEG file: ") + errors.damage
                                                         : std::string("damaged JPEG file: ") + errors.message;
        return result;
    }

    const bool cmyk = d.cinfo.out_color_space == JCS_CMYK;
    Bitmap::Layout layout;
    layout.pixelsWide = int(d.cinfo.output_width);
    layout.pixelsHigh = int(d.cinfo.output_height);
    layout.samplesPerPixel = d.cinfo.out_color_space == JCS_GRAYSCALE ? 1 : 3;
    layout.colorSpace = layout.samplesPerPixel == 1 ? ColorSpace::CalibratedWhite : ColorSpace::CalibratedRGB;
    auto bitmap = codec::createDecodedBitmap(layout, result.error);
    if (!bitmap)
        return result;
    std::vector<std::uint8_t> cmykRow(cmyk ? std::size_t(layout.pixelsWide) * 4 : 0);

    const bool complete = readRows(&d.cinfo, &errors, bitmap->bitmapData(), bitmap->bytesPerRow(),
                                   cmyk ? cmykRow.data() : nullptr);
    // A file cut short: libjpeg fills the missing blocks of a sequential file
    // with mid grey and keeps the earlier scans of a progressive one. Keep the
    // picture if its data reached past the first block row or the first scan.
    if (nothingArrived(errors, multiScan)) {
        result.error = std::string("truncated JPEG file: ") + errors.damage;
        return result;
    }
    if (!complete) {
        const int rowsRead = int(d.cinfo.output_scanline);
        if (rowsRead == 0) {
            result.error = std::string("damaged JPEG file: ") + errors.message;
            return result;
        }
        codec::clearRows(*bitmap, rowsRead);
        result.warning = codec::damagedWarning(errors.message, "black");
    } else if (errors.endOfData) {
        result.warning = codec::damagedWarning(errors.damage, multiScan ? "at a coarser quality" : "grey");
    } else if (errors.damaged) {
        result.warning = std::string("file is damaged (") + errors.damage + "); some blocks may be wrong";
    }
    result.bitmap = std::move(bitmap);
    return result;
}

int JpegCodec::qualityFor(const EncodeProperties& properties)
{
    const double factor = properties.compressionFactor.value_or(0.9f);
    if (std::isnan(factor))
        return 90;
    return int(std::clamp(std::lround(factor * 100.0), 1L, 100L));
}

EncodeResult JpegCodec::encode(const Bitmap& bitmap, const EncodeProperties& properties)
{
    EncodeResult result;
    const JpegTarget target{JDIMENSION(bitmap.pixelsWide()), JDIMENSION(bitmap.pixelsHigh()),
                            isGreyColorSpace(bitmap.colorSpace()), qualityFor(properties)};
    if (bitmap.pixelsWide() > JPEG_MAX_DIMENSION || bitmap.pixelsHigh() > JPEG_MAX_DIMENSION) {
        result.error = "JPEG pictures are at most 65500 pixels wide and high";
        return result;
    }
    const RowConverter rows(bitmap, target.grey ? 1 : 3, 8);
    std::vector<std::uint8_t> scratch(rows.rowBytes());

    JpegErrors errors;
    initErrors(&errors);
    auto destination = std::make_unique<JpegDestination>();
    destination->mgr.init_destination = initDestination;
    destination->mgr.empty_output_buffer = emptyDestination;
    destination->mgr.term_destination = termDestination;
    destination->out = &result.data;

    Compressor c;
    c.cinfo.err = &errors.mgr;
    if (!createCompress(&c.cinfo, &errors)) {
        result.error = std::string("cannot write JPEG: ") + errors.message;
        return result;
    }
    c.created = true;
    c.cinfo.dest = &destination->mgr;
    if (!writeAll(&c.cinfo, &errors, &target, &rows, scratch.data())) {
        result.data.clear();
        result.error = std::string("cannot write JPEG: ") + errors.message;
    }
    return result;
}

}  // namespace korvex
