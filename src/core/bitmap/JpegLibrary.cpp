#include "core/bitmap/JpegLibrary.h"

#include <jerror.h>

namespace korvex::jpeg {

namespace {

void formatMessage(j_common_ptr cinfo, char (&target)[codec::messageSize])
{
    char text[JMSG_LENGTH_MAX];
    cinfo->err->format_message(cinfo, text);
    codec::copyMessage(target, text);
}

[[noreturn]] void onErrorExit(j_common_ptr cinfo)
{
    auto* errors = reinterpret_cast<Errors*>(cinfo->err);
    formatMessage(cinfo, errors->message);
    std::longjmp(errors->jump, 1);
}

void onOutputMessage(j_common_ptr) {}

void onEmitMessage(j_common_ptr cinfo, int level)
{
    if (level >= 0)
        return;  // trace messages
    auto* errors = reinterpret_cast<Errors*>(cinfo->err);
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

}  // namespace

void initErrors(Errors* errors)
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

bool nothingArrived(const Errors& errors, bool multiScan)
{
    return errors.endOfData && (multiScan ? errors.scanAtEnd <= 1 : errors.rowsAtEnd == 0);
}

void onProgress(j_common_ptr cinfo)
{
    if (!cinfo->is_decompressor)
        return;
    if (reinterpret_cast<j_decompress_ptr>(cinfo)->input_scan_number > maxScans) {
        auto* errors = reinterpret_cast<Errors*>(cinfo->err);
        codec::copyMessage(errors->message, "too many progressive scans");
        std::longjmp(errors->jump, 1);
    }
}

}  // namespace korvex::jpeg
