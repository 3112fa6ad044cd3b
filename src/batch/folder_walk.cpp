#include "batch/folder_walk.h"

#include <algorithm>

#include "batch/output_files.h"
#include "batch/paths.h"

namespace vantrel::batch {

bool IsTextFileName(std::string_view name)
{
    constexpr std::string_view suffix = ".txt";
    if (name.size() < suffix.size()) return false;
    const std::string_view end = name.substr(name.size() - suffix.size());
    return std::equal(end.begin(), end.end(), suffix.begin(), [](char a, char b) {
        return (a >= 'A' && a <= 'Z' ? char(a - 'A' + 'a') : a) == b;
    });
}

TextFileWalk FindTextFiles(const platform::FolderLister& lister, const std::string& folder,
                           const std::optional<std::string>& outputFolder)
{
    // Compared by identity, since the tree and the output folder may be
    // named in different ways; a folder that does not exist yet holds no
    // outputs to leave out.
    const std::optional<platform::FolderIdentity> outputs =
        outputFolder ? platform::IdentifyFolder(*outputFolder) : std::nullopt;
    const auto holdsOutputs = [&outputs](const std::string& path, std::string_view name) {
        return name == DecodedFolderName || (outputs && platform::IdentifyFolder(path) == outputs);
    };
    TextFileWalk walk;
    // A list of folders still to read instead of recursion: a deep tree
    // cannot exhaust the stack.
    std::vector<std::string> pending{folder};
    while (!pending.empty()) {
        const std::string current = std::move(pending.back());
        pending.pop_back();
        const auto entries = lister.List(current);
        if (!entries) {
            walk.unreadableFolders.push_back(current);
            continue;
        }
        for (const platform::FolderEntry& entry : *entries) {
            if (entry.name.empty() || entry.name.front() == '.') continue;
            if (entry.kind == platform::EntryKind::Folder) {
                std::string path = JoinPath(current, entry.name);
                if (!holdsOutputs(path, entry.name)) pending.push_back(std::move(path));
            } else if (entry.kind == platform::EntryKind::File && IsTextFileName(entry.name)) {
                walk.files.push_back(JoinPath(current, entry.name));
            }
        }
    }
    std::sort(walk.files.begin(), walk.files.end());
    return walk;
}

} // namespace vantrel::batch
