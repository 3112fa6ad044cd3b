#include "cli/source_list.h"

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

#include "batch/folder_walk.h"
#include "cli/interrupt_window.h"

namespace vantrel::cli {
namespace {

ListRead Failure(int code)
{
    return {ListRead::Status::Failed, {}, platform::SystemErrorText(code)};
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
    if (fd < 0) return Failure(EBADF); // poll() would wait on it for ever
    const InterruptWindow window;
    ListRead list;
    std::string name;
    std::size_t entry = 1;
    char buffer[64 * 1024];
    for (;;) {
        if (interrupted()) return {ListRead::Status::Interrupted, {}, {}};
        if (window.Wait(fd) < 0) {
            if (errno == EINTR) continue;
            return Failure(errno);
        }
        const ssize_t got = ::read(fd, buffer, sizeof buffer);
        if (got < 0) {
            if (errno == EINTR || errno == EAGAIN) continue;
            return Failure(errno);
        }
        if (got == 0) break;
        for (std::string_view chunk(buffer, static_cast<std::size_t>(got));;) {
            const std::size_t end = std::min(chunk.find(separator), chunk.size());
            const std::string_view piece = chunk.substr(0, end);
            // Passed on, the name would end at its NUL and another file be decoded.
            if (piece.find('\0') != std::string_view::npos) return {ListRead::Status::HoldsNul, {}, {}};
            if (name.size() + piece.size() > LongestListedName) return {ListRead::Status::NameTooLong, {}, {}, entry};
            name.append(piece);
            if (end == chunk.size()) break;
            if (!name.empty()) list.names.push_back(std::move(name));
            name.clear();
            ++entry;
            chunk.remove_prefix(end + 1);
        }
    }
    if (!name.empty()) list.names.push_back(std::move(name));
    return list;
}

ListRead ReadNameListFile(const std::string& path, char separator, const std::function<bool()>& interrupted)
{
    // Not blocking in open(): a named pipe without a writer yet is waited
    // for in ReadNameList, where Ctrl-C ends the wait.
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) return Failure(errno);
    ListRead list = ReadNameList(fd, separator, interrupted);
    ::close(fd);
    return list;
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
