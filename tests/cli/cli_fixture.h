#pragma once
// Temporary folders with enciphered sources for the command's tests.
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>
#include <vector>

#include "testing/encipher.h"

namespace vantrel::cli::testing {

inline constexpr const char* RightKey = "K3Y-0F-TEN";
inline constexpr const char* WrongKey = "NOT THE KEY";

// "ключ-ключ1" as the code page CP1251 writes it.
inline constexpr const char* Cp1251Key = "\xea\xeb\xfe\xf7-\xea\xeb\xfe\xf7" "1";

// Passes the key check only with the key whose bytes are keyBytes.
inline engine::testing::EncodedStreamBuilder CheckedStream(std::string_view keyBytes = RightKey)
{
    engine::testing::EncodedStreamBuilder stream(engine::testing::TableForKey(keyBytes));
    stream.CheckBlock({{"ALPHA"}, {"BRAVO"}, {"CHARLIE"}, {"DELTA"}, {"ECHO"}}).Plain("\nto: ").Region("HQ 7/B").Plain("\n");
    return stream;
}

class TempFolder {
public:
    explicit TempFolder(const std::string& name)
        : path_(std::filesystem::temp_directory_path() / (name + "-" + std::to_string(::getpid())))
    {
        std::filesystem::remove_all(path_);
        std::filesystem::create_directories(path_);
    }
    ~TempFolder() { std::filesystem::remove_all(path_); }

    std::string Write(const std::string& relative, const std::string& bytes) const
    {
        const auto file = path_ / relative;
        std::filesystem::create_directories(file.parent_path());
        std::ofstream(file, std::ios::binary) << bytes;
        return file.string();
    }
    std::string At(const std::string& relative) const { return (path_ / relative).string(); }
    std::vector<std::string> FilesIn(const std::string& relative) const
    {
        std::vector<std::string> names;
        if (std::filesystem::exists(path_ / relative)) {
            for (const auto& entry : std::filesystem::directory_iterator(path_ / relative)) {
                names.push_back(entry.path().filename().string());
            }
        }
        std::sort(names.begin(), names.end());
        return names;
    }
    static std::string Read(const std::string& path)
    {
        std::ifstream in(path, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), {}};
    }

private:
    std::filesystem::path path_;
};

} // namespace vantrel::cli::testing
