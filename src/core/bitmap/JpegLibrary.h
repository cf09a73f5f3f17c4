#pragma once

#include "core/bitmap/CodecSupport.h"

#include <cstdio>  // jpeglib.h needs FILE
#include <jpeglib.h>

#include <csetjmp>

// What the JPEG reader and writer share of libjpeg: the error manager whose
// callbacks leave through longjmp, and the bounds on what a file may cost.
namespace korvex::jpeg {

// A progressive file may hold any number of scans, each a full pass over the
// coefficients; real files have around ten.
inline constexpr int maxScans = 500;
// libjpeg's own buffers (the coefficients of a progressive picture) stay
// below this; the pixels themselves are bounded by ImageLimits.
inline constexpr long maxLibraryMemory = 2L << 30;

// Plain data, reached from libjpeg's callbacks, which leave through longjmp
// to the setjmp of the step function that is running.
struct Errors {
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

void initErrors(Errors* errors);

// A cut file keeps its picture only if its data reached past the first block
// row (sequential) or the first scan (progressive).
bool nothingArrived(const Errors& errors, bool multiScan);

// Refuses a file whose progressive scans go on without end.
void onProgress(j_common_ptr cinfo);

}  // namespace korvex::jpeg
