#include "batch/folder_walk.h"

#include <algorithm>

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

TextFileWalk FindTextFiles(const platform::FolderLister& lister, const std::string& folder)
{
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
            if (entry.kind == platform::EntryKind::Folder)
                pending.push_back(JoinPath(current, entry.name));
            else if (entry.kind == platform::EntryKind::File && IsTextFileName(entry.name))
                walk.files.push_back(JoinPath(current, entry.name));
        }
    }
    std::sort(walk.files.begin(), walk.files.end());
    return walk;
}

} // namespace vantrel::batch
