#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace korvex {

struct PicturePair {
    std::string name;  // the name both pictures share
    std::filesystem::path left;
    std::filesystem::path right;
};

struct Pairing {
    std::vector<PicturePair> pairs;
    std::vector<std::filesystem::path> unpaired;
};

// Pairs the pictures of one folder by their names, case-insensitively:
// NAME_L/NAME_R, NAME-left/NAME-right, NAME_left/NAME_right and NAMEl/NAMEr,
// with the same extension.
Pairing pairByName(const std::vector<std::filesystem::path>& pictures);

// Pairs the pictures of sibling left/ and right/ folders that have the same
// name, case-insensitively.
Pairing pairByFolder(const std::vector<std::filesystem::path>& left, const std::vector<std::filesystem::path>& right);

}  // namespace korvex
