#pragma once

#include "core/bitmap/ImageDecoder.h"
#include "core/imageview/PictureStore.h"

#include <string>

namespace korvex {

// Opens a stereo pair with both cores: the two pictures are read and decoded
// at the same time, and a stereo file named for both sides is decoded once
// and cut into both shares. Each side gets exactly the picture (or failure)
// that PictureStore::setImageWithFile would give a left and a right view.
class PicturePairLoader {
public:
    struct Pair {
        DecodeResult left;   // the left view's share (role 1)
        DecodeResult right;  // the right view's share (role 2)
    };

    // Touches no store, so a caller may run it away from the stores' thread.
    static Pair decode(const std::string& leftPath, const std::string& rightPath);

    // Releases both stores' pictures, decodes, then has the stores adopt the
    // results on the calling thread, left first, as two setImageWithFile calls
    // would. Returns true when both ended with a picture.
    static bool load(PictureStore& left, const std::string& leftPath, PictureStore& right,
                     const std::string& rightPath);
};

}  // namespace korvex
