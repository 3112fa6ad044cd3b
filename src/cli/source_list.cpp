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
        return real_.List(folder);
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
        for (const char c : std::string_view(buffer, static_cast<std::size_t>(got))) {
            if (c == separator) {
                if (!name.empty()) list.names.push_back(std::move(name));
                name.clear();
            } else if (c == '\0') {
                // Passed on, the name would end at its NUL and another file be decoded.
                return {ListRead::Status::HoldsNul, {}, {}};
            } else {
                name += c;
            }
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
