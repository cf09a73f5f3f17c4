#pragma once

#include "core/bitmap/Bitmap.h"
#include "core/bitmap/ImageDecoder.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string>

namespace korvex {

// The role of a picture view (its `itype`).
enum ViewRole : int { ResultRole = 0, LeftRole = 1, RightRole = 2 };

// What one image view holds: its bitmap, its role and its pin point, and every
// way a picture gets in and out. The on-screen widget owns one of these.
class PictureStore {
public:
    PictureStore();

    void setType(int itype) { itype_ = itype; }
    int type() const { return itype_; }

    // Loads a file; a path ending exactly in a stereo suffix keeps only this
    // view's share. Returns false when the view ended empty (see lastError()).
    bool setImageWithFile(const std::string& path);
    // The two halves of setImageWithFile. The first reads and decodes the
    // share of the given role and touches no store, so it may run on any
    // thread; the second adopts a decoded picture (or its failure) on the
    // store's own thread, as setImageWithFile would.
    static DecodeResult decodeFileShare(const std::string& path, int role);
    bool setDecodedImage(DecodeResult decoded);
    // Decodes the bytes as one picture, never split.
    bool setImageWithData(std::span<const std::uint8_t> data);
    // Takes over the bitmap (null empties the view); size and pin point untouched.
    void setImage(std::unique_ptr<Bitmap> bitmap);
    // Replaces the picture by a fresh result canvas of trunc(w) x trunc(h), or
    // by nothing when either is below 1. Pin point and frame untouched.
    void createImageWithSize(Size size);

    // Stores the point clamped into 0..width, 0..height of the picture.
    void setPinPoint(Point p);
    // The pin point that setPinPoint stores for a picture of this size (NaN gives 0).
    static Point clampedPinPoint(Point p, Size pictureSize);
    // Puts back a pin point read earlier with its picture (an undo), as it was.
    void restorePinPoint(Point p) { pinPoint_ = p; }
    Point pinPoint() const { return pinPoint_; }

    // Lends the bitmap; the store keeps it.
    Bitmap* image() const { return image_.get(); }
    // Hands the bitmap over and leaves the view empty.
    std::unique_ptr<Bitmap> imageAndDetach();
    // Changes whenever the picture is replaced, so that what was made from
    // it (a corrected copy) can tell it is stale.
    std::uint64_t generation() const { return generation_; }

    // The picture's size in units, zero by zero when empty.
    Size size() const;

    // Why the last load left the view empty, or a warning about a picture
    // that loaded despite damage. Empty when there is nothing to say.
    const std::string& lastError() const { return lastError_; }
    const std::string& lastWarning() const { return lastWarning_; }

    // Asks the on-screen view to re-lay its frame and redraw (its `adjustFrame`).
    // The loaders and setImage call it; the composition calls it on the result.
    void adjustFrame();
    void setFrameChangedHandler(std::function<void()> handler) { frameChanged_ = std::move(handler); }
    // Where a picture goes that a load or setImage replaces: freed at once
    // without a handler; work off the window's thread that may still read
    // it has the handler keep it until that work is done.
    void setRetireHandler(std::function<void(std::unique_ptr<Bitmap>)> handler) { retire_ = std::move(handler); }

private:
    void adopt(std::unique_ptr<Bitmap> bitmap);  // normalise: size, frame, centred pin
    void renewGeneration();
    void retireImage();

    std::unique_ptr<Bitmap> image_;
    std::uint64_t generation_ = 0;
    int itype_ = ResultRole;
    Point pinPoint_{-1.0, -1.0};  // no pin point yet: until the first load
    std::string lastError_;
    std::string lastWarning_;
    std::function<void()> frameChanged_;
    std::function<void(std::unique_ptr<Bitmap>)> retire_;
};

}  // namespace korvex
