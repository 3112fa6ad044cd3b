#include "platform/testing/passthrough_mount.h"

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace vantrel::platform::testing {
namespace {

std::string Contents(const std::filesystem::path& path)
{
    std::ifstream in(path);
    return {std::istreambuf_iterator<char>(in), {}};
}

bool FoundOnPath(const std::string& program)
{
    const char* path = std::getenv("PATH");
    std::string folders = path ? path : "/usr/bin:/bin";
    for (std::size_t begin = 0; begin <= folders.size();) {
        const std::size_t end = std::min(folders.find(':', begin), folders.size());
        if (::access((folders.substr(begin, end - begin) + "/" + program).c_str(), X_OK) == 0) return true;
        begin = end + 1;
    }
    return false;
}

} // namespace

std::string PassthroughMount::Unavailable()
{
    const int fuse = ::open("/dev/fuse", O_RDWR | O_CLOEXEC);
    if (fuse < 0) return std::string("/dev/fuse cannot be opened: ") + std::strerror(errno);
    ::close(fuse);
    if (::geteuid() != 0 && !FoundOnPath("fusermount")) return "mounting FUSE takes root or fusermount";
    return {};
}

PassthroughMount::PassthroughMount(std::filesystem::path backing, std::filesystem::path mountPoint, PassthroughFaults faults)
    : mountPoint_(std::move(mountPoint))
{
    const std::filesystem::path log = mountPoint_.string() + ".log";
    std::vector<std::string> args = {"/usr/bin/python3", VANTREL_PASSTHROUGH_FS, backing.string(), mountPoint_.string(),
                                     "--flush-errno", std::to_string(faults.flushErrno),
                                     "--link-errno", std::to_string(faults.linkErrno)};
    server_ = ::fork();
    if (server_ == 0) {
        const int err = ::open(log.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        ::dup2(err, STDERR_FILENO);
        ::dup2(err, STDOUT_FILENO);
        std::vector<char*> argv;
        for (std::string& arg : args) argv.push_back(arg.data());
        argv.push_back(nullptr);
        ::execv(argv[0], argv.data());
        ::_exit(127);
    }
    for (int waited = 0; waited < 1000; ++waited) {
        if (Mounted()) return;
        int status = 0;
        if (::waitpid(server_, &status, WNOHANG) == server_) {
            server_ = -1;
            failure_ = "the FUSE server ended before mounting: " + Contents(log);
            return;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    failure_ = "not mounted after 10 s: " + Contents(log);
}

PassthroughMount::~PassthroughMount()
{
    if (server_ > 0) {
        // The server unmounts when asked to end.
        ::kill(server_, SIGTERM);
        ::waitpid(server_, nullptr, 0);
    }
    if (Mounted()) ::umount2(mountPoint_.c_str(), MNT_DETACH);
    std::filesystem::remove(mountPoint_.string() + ".log");
}

bool PassthroughMount::Mounted() const
{
    struct stat point {}, parent {};
    return ::stat(mountPoint_.c_str(), &point) == 0 && ::stat(mountPoint_.parent_path().c_str(), &parent) == 0 &&
           point.st_dev != parent.st_dev;
}

} // namespace vantrel::platform::testing
