#pragma once

#include <string>
#include <vector>

namespace korvex {

// A job as found on the disk, before it has an output.
struct FoundJob {
    std::string name;        // path below its input folder, without extension: "trip/IMG_0001"
    std::string left;
    std::string right;       // empty for a stereo file
    std::string skipReason;  // set for a picture without a partner, or not a picture
};

struct Discovery {
    std::vector<FoundJob> jobs;
    std::string error;  // an INPUT that cannot be read: a usage error

    // Every stereo file (.jps, .pns, .mpo) is a job; other pictures pair up by
    // name or by sibling left/ and right/ folders. Folders are read one level
    // (and their left/ and right/ folders), or to any depth when recursive.
    // Hidden files and everything below excludedFolder (the output folder)
    // are left out.
    static Discovery find(const std::vector<std::string>& inputs, bool recursive, const std::string& excludedFolder);
};

}  // namespace korvex
