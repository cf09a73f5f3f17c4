#include "core/bitmap/JpegRowWriter.h"

#include "core/bitmap/JpegLibrary.h"

#include <jerror.h>

namespace korvex {

namespace {

// Destination handing each full block to the output.
struct Destination {
    jpeg_destination_mgr mgr;
    const JpegRowWriter::Output* output;
    JOCTET buffer[64 * 1024];
};

void initDestination(j_compress_ptr cinfo)
{
    auto* dest = reinterpret_cast<Destination*>(cinfo->dest);
    dest->mgr.next_output_byte = dest->buffer;
    dest->mgr.free_in_buffer = sizeof dest->buffer;
}

bool handOver(Destination* dest, std::size_t length)
{
    try {
        return (*dest->output)(std::span<const std::uint8_t>(dest->buffer, length));
    } catch (...) {
        return false;  // no exception may cross libjpeg's frames
    }
}

boolean emptyDestination(j_compress_ptr cinfo)
{
    auto* dest = reinterpret_cast<Destination*>(cinfo->dest);
    if (!handOver(dest, sizeof dest->buffer))
        ERREXIT1(cinfo, JERR_OUT_OF_MEMORY, 0);
    initDestination(cinfo);
    return TRUE;
}

void termDestination(j_compress_ptr cinfo)
{
    auto* dest = reinterpret_cast<Destination*>(cinfo->dest);
    if (!handOver(dest, sizeof dest->buffer - dest->mgr.free_in_buffer))
        ERREXIT1(cinfo, JERR_OUT_OF_MEMORY, 0);
}

struct Target {
    JDIMENSION width;
    JDIMENSION height;
    bool grey;
    int quality;
};

// Step functions: between setjmp and the libjpeg calls only plain data lives.
bool createCompress(j_compress_ptr cinfo, jpeg::Errors* errors)
{
    if (setjmp(errors->jump))
        return false;
    jpeg_create_compress(cinfo);
    return true;
}

bool startCompress(j_compress_ptr cinfo, jpeg::Errors* errors, const Target* target)
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
    return true;
}

bool writeScanlines(j_compress_ptr cinfo, jpeg::Errors* errors, JSAMPARRAY rows, JDIMENSION count)
{
    if (setjmp(errors->jump))
        return false;
    jpeg_write_scanlines(cinfo, rows, count);
    return true;
}

bool finishCompress(j_compress_ptr cinfo, jpeg::Errors* errors)
{
    if (setjmp(errors->jump))
        return false;
    jpeg_finish_compress(cinfo);
    return true;
}

}  // namespace

struct JpegRowWriter::State {
    jpeg_compress_struct cinfo{};
    jpeg::Errors errors;
    Destination destination;
    Output output;
    bool created = false;
    bool failed = false;

    ~State()
    {
        if (created)
            jpeg_destroy_compress(&cinfo);
    }

    std::string failure()
    {
        failed = true;
        return std::string("cannot write JPEG: ") + errors.message;
    }
};

JpegRowWriter::JpegRowWriter(Output output) : s_(std::make_unique<State>())
{
    s_->output = std::move(output);
}

JpegRowWriter::~JpegRowWriter() = default;

std::string JpegRowWriter::start(int pixelsWide, int pixelsHigh, bool grey, int quality)
{
    State& s = *s_;
    if (pixelsWide > JPEG_MAX_DIMENSION || pixelsHigh > JPEG_MAX_DIMENSION) {
        s.failed = true;
        return "JPEG pictures are at most 65500 pixels wide and high";
    }
    jpeg::initErrors(&s.errors);
    s.cinfo.err = &s.errors.mgr;
    if (!createCompress(&s.cinfo, &s.errors))
        return s.failure();
    s.created = true;
    s.destination.mgr.init_destination = initDestination;
    s.destination.mgr.empty_output_buffer = emptyDestination;
    s.destination.mgr.term_destination = termDestination;
    s.destination.output = &s.output;
    s.cinfo.dest = &s.destination.mgr;
    const Target target{JDIMENSION(pixelsWide), JDIMENSION(pixelsHigh), grey, quality};
    if (!startCompress(&s.cinfo, &s.errors, &target))
        return s.failure();
    return {};
}

std::string JpegRowWriter::writeRows(const std::uint8_t* const* rows, int count)
{
    State& s = *s_;
    if (s.failed)
        return "cannot write JPEG: the encoding has stopped";
    // libjpeg does not write through its row pointers.
    if (!writeScanlines(&s.cinfo, &s.errors, const_cast<JSAMPARRAY>(rows), JDIMENSION(count)))
        return s.failure();
    return {};
}

std::string JpegRowWriter::finish()
{
    State& s = *s_;
    if (s.failed)
        return "cannot write JPEG: the encoding has stopped";
    if (!finishCompress(&s.cinfo, &s.errors))
        return s.failure();
    return {};
}

}  // namespace korvex
