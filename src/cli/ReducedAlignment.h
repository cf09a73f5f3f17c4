#pragma once

#include "cli/ComposeOptions.h"
#include "core/align/PairAlignment.h"

#include <optional>

namespace korvex {

// Auto-align for a pair of plain JPEG files, studied on copies that libjpeg
// decodes reduced (its DCT scaling), so that neither picture is decoded
// whole for it. The streamed and the whole-picture path both align from
// these copies and so place the pictures alike. Empty when the job is not
// two plain JPEG files the right way up (stereo files, EXIF turns, other
// formats, refused files): the whole pictures are studied then.
std::optional<PairAlignment> alignOnReducedJpegs(const ComposeOptions& options);

}  // namespace korvex
