#include "cli/source_list.h"

#include "batch/folder_walk.h"
#include "cli/line_reader.h"

namespace vantrel::cli {
namespace {

LineReader::Rules NameRules(char separator)
{
    // A line-separated list with a NUL byte holds no names: none can have one.
    return {separator, LongestListedName, separator != '\0', true};
}

ListRead ReadNames(LineReader& reader)
{
    ListRead list;
    std::string name;
    for (;;) {
        switch (reader.Next(name)) {
        case LineReader::Status::Line: list.names.push_back(std::move(name)); break;
        case LineReader::Status::End: return list;
        case LineReader::Status::TooLong: return {ListRead::Status::NameTooLong, {}, {}, reader.LineNumber()};
        case LineReader::Status::HoldsNul: return {ListRead::Status::HoldsNul, {}, {}};
        case LineReader::Status::Failed: return {ListRead::Status::Failed, {}, reader.Error()};
        case LineReader::Status::Interrupted: return {ListRead::Status::Interrupted, {}, {}};
        }
    }
}

// Answers every folder with nothing once the user has asked to end, so that
// a long walk ends soon; remembers that it did.
class InterruptibleLister final : public platform::FolderLister {
public:
    InterruptibleLister(const platform::FolderLister& real, const std::function<bool()>& interrupted)
        : real_(real), interrupted_(interrupted)
    {
    }
    std::optional<std::vector<platform::FolderEntry>> List(const std::string& folder) const override
    {
        if (cut_ || interrupted_()) {
            cut_ = true;
            return std::vector<platform::FolderEntry>{};
        }
        auto entries = real_.List(folder);
        // Asked during the listing, which may have been given up for it.
        if (interrupted_()) {
            cut_ = true;
            return std::vector<platform::FolderEntry>{};
        }
        return entries;
    }
    bool Cut() const { return cut_; }

private:
    const platform::FolderLister& real_;
    const std::function<bool()>& interrupted_;
    mutable bool cut_ = false;
};

} // namespace

ListRead ReadNameList(int fd, char separator, const std::function<bool()>& interrupted)
{
    LineReader reader(fd, NameRules(separator), interrupted);
    return ReadNames(reader);
}

ListRead ReadNameListFile(const std::string& path, char separator, const std::function<bool()>& interrupted)
{
    LineReader reader(path, NameRules(separator), interrupted);
    return ReadNames(reader);
}

ExpandedSources ExpandFolders(std::vector<std::string> names, const platform::FileSystem& files,
                              const platform::FolderLister& folders, const std::optional<std::string>& outputFolder,
                              const std::function<bool()>& interrupted)
{
    const InterruptibleLister lister(folders, interrupted);
    ExpandedSources expanded;
    expanded.files.reserve(names.size());
    for (std::string& name : names) {
        // A long list takes a while to look through too.
        if (interrupted()) {
            expanded.interrupted = true;
            return expanded;
        }
        if (!files.FolderExists(name)) {
            expanded.files.push_back(std::move(name));
            continue;
        }
        batch::TextFileWalk walk = batch::FindTextFiles(lister, name, outputFolder);
        expanded.files.insert(expanded.files.end(), std::make_move_iterator(walk.files.begin()),
                              std::make_move_iterator(walk.files.end()));
        expanded.unreadableFolders.insert(expanded.unreadableFolders.end(), walk.unreadableFolders.begin(),
                                          walk.unreadableFolders.end());
    }
    expanded.interrupted = lister.Cut();
    return expanded;
}

} // namespace vantrel::cli
