#include "cli/batch/JobDiscovery.h"

#include "cli/OutputTypes.h"
#include "cli/ValueParsers.h"
#include "cli/batch/PairNaming.h"
#include "core/imageview/StereoFile.h"

#include <map>

namespace korvex {

namespace fs = std::filesystem;

namespace {

bool isPicture(const fs::path& path)
{
    return typeNameForOutput(path.string()).has_value();
}

// The pictures of one folder, and the name of that folder below its INPUT.
struct Folder {
    fs::path relative;
    std::vector<fs::path> pictures;
};

class Collector {
public:
    Collector(const std::string& excluded)
    {
        std::error_code ignored;
        if (!excluded.empty())
            excluded_ = fs::weakly_canonical(excluded, ignored);
    }

    void addFile(const fs::path& file, const fs::path& relativeFolder, std::vector<FoundJob>& jobs)
    {
        const std::string name = file.filename().string();
        if (name.starts_with('.'))
            return;
        if (stereoLayoutForPath(name) != StereoLayout::None)
            jobs.push_back({(relativeFolder / file.stem()).string(), file.string(), {}, {}});
        else if (isPicture(file)) {
            Folder& folder = folders_[file.parent_path()];
            folder.relative = relativeFolder;
            folder.pictures.push_back(file);
        }
    }

    std::string addFolder(const fs::path& root, bool recursive, std::vector<FoundJob>& jobs)
    {
        std::error_code error;
        auto it = fs::recursive_directory_iterator(root, fs::directory_options::skip_permission_denied, error);
        if (error)
            return "cannot read the folder '" + root.string() + "': " + error.message();
        for (; it != fs::recursive_directory_iterator(); it.increment(error)) {
            if (error)
                return "cannot read the folder '" + root.string() + "': " + error.message();
            const fs::path& path = it->path();
            const fs::path relative = fs::relative(path.parent_path(), root, error).lexically_normal();
            if (it->is_directory(error)) {
                if (isExcluded(path) || path.filename().string().starts_with('.') || !enters(relative, path, recursive))
                    it.disable_recursion_pending();
                continue;
            }
            if (it->is_regular_file(error))
                addFile(path, relative == "." ? fs::path() : relative, jobs);
        }
        return {};
    }

    // Pairs what was collected, folder by folder.
    void pair(std::vector<FoundJob>& jobs)
    {
        for (auto& [path, folder] : folders_) {
            if (sideOfFolder(path) == 'r' && folders_.count(siblingOf(path)))
                continue;  // paired with its left/ sibling
            Pairing pairing;
            fs::path relative = folder.relative;
            const auto sibling = folders_.find(siblingOf(path));
            if (sideOfFolder(path) == 'l' && sibling != folders_.end()) {
                pairing = pairByFolder(folder.pictures, sibling->second.pictures);
                relative = relative.parent_path();
            } else {
                pairing = pairByName(folder.pictures);
            }
            for (const PicturePair& pair : pairing.pairs)
                jobs.push_back({(relative / pair.name).string(), pair.left.string(), pair.right.string(), {}});
            for (const fs::path& picture : pairing.unpaired)
                jobs.push_back({(folder.relative / picture.stem()).string(), picture.string(), {},
                                "no partner picture (name it like NAME_L/NAME_R or put it in left/ and right/)"});
        }
    }

private:
    static char sideOfFolder(const fs::path& folder)
    {
        const std::string name = lowercase(folder.filename().string());
        return name == "left" ? 'l' : name == "right" ? 'r' : 0;
    }

    static fs::path siblingOf(const fs::path& folder)
    {
        const char side = sideOfFolder(folder);
        if (!side)
            return {};
        // The sibling as it is spelled on the disk: Left/ may go with RIGHT/.
        const std::string wanted = side == 'l' ? "right" : "left";
        std::error_code error;
        for (const auto& entry : fs::directory_iterator(folder.parent_path(), error))
            if (entry.is_directory(error) && lowercase(entry.path().filename().string()) == wanted)
                return entry.path();
        return {};
    }

    // One level, plus the left/ and right/ folders of the INPUT itself.
    static bool enters(const fs::path& relative, const fs::path& folder, bool recursive)
    {
        return recursive || (relative == "." && sideOfFolder(folder) && !siblingOf(folder).empty());
    }

    bool isExcluded(const fs::path& folder) const
    {
        std::error_code ignored;
        return !excluded_.empty() && fs::weakly_canonical(folder, ignored) == excluded_;
    }

    fs::path excluded_;
    std::map<fs::path, Folder> folders_;
};

}  // namespace

Discovery Discovery::find(const std::vector<std::string>& inputs, bool recursive, const std::string& excludedFolder)
{
    Discovery found;
    Collector collector(excludedFolder);
    for (const std::string& input : inputs) {
        std::error_code error;
        const fs::file_status status = fs::status(input, error);
        if (fs::is_directory(status)) {
            found.error = collector.addFolder(input, recursive, found.jobs);
        } else if (fs::is_regular_file(status) && stereoLayoutForPath(input) == StereoLayout::None
                   && !isPicture(input)) {
            found.jobs.push_back({fs::path(input).stem().string(), input, {}, "not a picture (use "
                                  + outputExtensionList(", ", ".") + ", .jps, .pns or .mpo)"});
        } else if (fs::is_regular_file(status)) {
            collector.addFile(input, {}, found.jobs);
        } else {
            found.error = "'" + input + "' is not a file or folder";
        }
        if (!found.error.empty())
            return found;
    }
    collector.pair(found.jobs);
    return found;
}

}  // namespace korvex
