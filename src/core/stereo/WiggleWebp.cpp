#include "core/stereo/WiggleAnimation.h"

#include <webp/encode.h>
#include <webp/mux.h>

#include <memory>
#include <new>

namespace korvex {

namespace {

constexpr int maxWebpSide = WEBP_MAX_DIMENSION;
constexpr float quality = 90.0f;

struct EncoderDeleter { void operator()(WebPAnimEncoder* e) const { WebPAnimEncoderDelete(e); } };

struct Picture {
    WebPPicture picture;
    Picture() { WebPPictureInit(&picture); }
    ~Picture() { WebPPictureFree(&picture); }
};

std::string encoderError(WebPAnimEncoder* encoder)
{
    const char* text = WebPAnimEncoderGetError(encoder);
    return std::string("cannot write WebP: ") + (text && *text ? text : "out of memory");
}

}  // namespace

EncodeResult encodeWiggleWebp(const AlignedPair& pair, int frameMilliseconds)
{
    EncodeResult result;
    const int w = pair.width();
    const int h = pair.height();
    if (w > maxWebpSide || h > maxWebpSide) {
        result.error = "WebP pictures are at most " + std::to_string(maxWebpSide) + " pixels wide and high";
        return result;
    }
    try {
        WebPAnimEncoderOptions options;
        WebPConfig config;
        if (!WebPAnimEncoderOptionsInit(&options) || !WebPConfigInit(&config)) {
            result.error = "cannot write WebP: the library does not match its headers";
            return result;
        }
        options.anim_params.loop_count = 0;  // forever
        config.quality = quality;
        std::unique_ptr<WebPAnimEncoder, EncoderDeleter> encoder(WebPAnimEncoderNew(w, h, &options));
        if (!encoder) {
            result.error = "not enough memory to write the WebP animation";
            return result;
        }
        int timestamp = 0;
        for (const Eye eye : {Eye::Left, Eye::Right}) {
            const auto rgb = pair.eyePicture(eye);
            Picture frame;
            frame.picture.width = w;
            frame.picture.height = h;
            frame.picture.use_argb = 1;
            if (!rgb || !WebPPictureImportRGB(&frame.picture, rgb->bitmapData(), int(rgb->bytesPerRow()))) {
                result.error = "not enough memory to write the WebP animation";
                return result;
            }
            if (!WebPAnimEncoderAdd(encoder.get(), &frame.picture, timestamp, &config)) {
                result.error = encoderError(encoder.get());
                return result;
            }
            timestamp += frameMilliseconds;
        }
        WebPData data;
        WebPDataInit(&data);
        if (!WebPAnimEncoderAdd(encoder.get(), nullptr, timestamp, nullptr)
            || !WebPAnimEncoderAssemble(encoder.get(), &data)) {
            result.error = encoderError(encoder.get());
            return result;
        }
        result.data.assign(data.bytes, data.bytes + data.size);
        WebPDataClear(&data);
    } catch (const std::bad_alloc&) {
        result.data.clear();
        result.error = "not enough memory to write the WebP animation";
    }
    return result;
}

}  // namespace korvex
