#include "platform/mount_table.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <optional>

namespace vantrel::platform {
namespace {

std::vector<std::string_view> SplitFields(std::string_view line)
{
    std::vector<std::string_view> fields;
    std::size_t pos = 0;
    while (pos < line.size()) {
        const std::size_t start = line.find_first_not_of(' ', pos);
        if (start == std::string_view::npos) break;
        const std::size_t end = std::min(line.find(' ', start), line.size());
        fields.push_back(line.substr(start, end - start));
        pos = end;
    }
    return fields;
}

// The kernel writes space, tab, newline and backslash as "\ooo".
std::string Unescape(std::string_view field)
{
    std::string text;
    text.reserve(field.size());
    for (std::size_t i = 0; i < field.size(); ++i) {
        const auto isOctal = [&](std::size_t k) { return k < field.size() && field[k] >= '0' && field[k] <= '7'; };
        if (field[i] == '\\' && isOctal(i + 1) && isOctal(i + 2) && isOctal(i + 3)) {
            text.push_back(static_cast<char>((field[i + 1] - '0') * 64 + (field[i + 2] - '0') * 8 + (field[i + 3] - '0')));
            i += 3;
        } else {
            text.push_back(field[i]);
        }
    }
    return text;
}

bool ParseDevice(std::string_view text, unsigned& major, unsigned& minor)
{
    const std::size_t colon = text.find(':');
    if (colon == std::string_view::npos) return false;
    const char* end = text.data() + text.size();
    const auto first = std::from_chars(text.data(), text.data() + colon, major);
    const auto second = std::from_chars(text.data() + colon + 1, end, minor);
    return first.ec == std::errc{} && first.ptr == text.data() + colon && second.ec == std::errc{} && second.ptr == end;
}

// Fields: id parent major:minor root mount-point options [optional...] - type source super-options
std::optional<MountEntry> ParseLine(std::string_view line)
{
    const std::vector<std::string_view> fields = SplitFields(line);
    if (fields.size() < 7) return std::nullopt;
    const auto separator = std::find(fields.begin() + 6, fields.end(), std::string_view("-"));
    if (separator == fields.end() || fields.end() - separator < 3) return std::nullopt;
    MountEntry entry;
    if (!ParseDevice(fields[2], entry.major, entry.minor)) return std::nullopt;
    entry.mountPoint = Unescape(fields[4]);
    entry.fsType = Unescape(separator[1]);
    entry.source = Unescape(separator[2]);
    return entry;
}

bool Holds(std::string_view mountPoint, std::string_view path)
{
    if (mountPoint == "/") return !path.empty() && path.front() == '/';
    return path.starts_with(mountPoint) && (path.size() == mountPoint.size() || path[mountPoint.size()] == '/');
}

template <std::size_t N>
bool IsOneOf(std::string_view word, const std::array<std::string_view, N>& words)
{
    return std::find(words.begin(), words.end(), word) != words.end();
}

} // namespace

std::vector<MountEntry> ParseMountInfo(std::string_view text)
{
    std::vector<MountEntry> mounts;
    while (!text.empty()) {
        const std::size_t end = std::min(text.find('\n'), text.size());
        if (auto entry = ParseLine(text.substr(0, end))) mounts.push_back(std::move(*entry));
        text.remove_prefix(std::min(end + 1, text.size()));
    }
    return mounts;
}

const MountEntry* MountHolding(const std::vector<MountEntry>& mounts, std::string_view path)
{
    const MountEntry* best = nullptr;
    for (const MountEntry& entry : mounts) {
        if (Holds(entry.mountPoint, path) && (!best || entry.mountPoint.size() >= best->mountPoint.size())) {
            best = &entry;
        }
    }
    return best;
}

bool IsNetworkFileSystem(std::string_view fsType)
{
    static constexpr std::array<std::string_view, 22> network = {
        "nfs",    "nfs4",      "cifs",  "smb3",  "smbfs",  "sshfs",   "9p",   "afs",
        "ceph",   "glusterfs", "davfs", "ncpfs", "coda",   "lustre",  "ocfs2", "gfs2",
        "orangefs", "beegfs",  "gpfs",  "ftpfs", "curlftpfs", "pvfs2"};
    // FUSE file systems carry their program's name: fuse.sshfs, fuse.rclone, ...
    // The desktop's own network places (gvfs, kio) are among them.
    static constexpr std::array<std::string_view, 26> networkFuse = {
        "sshfs",     "glusterfs", "ceph-fuse", "ceph",      "davfs2",      "davfs",      "rclone",
        "s3fs",      "gcsfuse",   "curlftpfs", "smbnetfs",  "moosefs",     "gvfsd-fuse", "gvfs-fuse-daemon",
        "kio-fuse",  "goofys",    "blobfuse",  "blobfuse2", "juicefs",     "seaweedfs",  "cvmfs",
        "afpfs",     "fusesmb",   "httpfs2",   "onedriver", "google-drive-ocamlfuse"};
    if (IsOneOf(fsType, network)) return true;
    if (fsType.starts_with("fuse.")) return IsOneOf(fsType.substr(5), networkFuse);
    return false;
}

bool IsOpticalFileSystem(std::string_view fsType)
{
    return fsType == "iso9660" || fsType == "udf";
}

} // namespace vantrel::platform
