// Writes encoded sources for timing runs: a key-check block that the given
// key passes, then lines with plain text and enciphered regions.
//   vantrel-make-bench-source OUTPUT SIZE_MIB KEY
// or many small ones, 0000.txt, 0001.txt, ... of 4 to 64 KiB in FOLDER:
//   vantrel-make-bench-source --small FOLDER COUNT KEY
#include <algorithm>
#include <charconv>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <string>
#include <string_view>

#include "bench_source.h"

namespace {

// The header and then line blocks up to `bytes`; the last block may end
// inside a region.
bool WriteSource(const std::string& path, unsigned long long bytes, const std::string& header, const std::string& block)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << header;
    unsigned long long written = header.size();
    while (written < bytes) {
        const std::size_t count = static_cast<std::size_t>(std::min<unsigned long long>(block.size(), bytes - written));
        out.write(block.data(), static_cast<std::streamsize>(count));
        written += count;
    }
    out.close();
    if (!out) std::cerr << "vantrel-make-bench-source: cannot write " << path << "\n";
    return static_cast<bool>(out);
}

bool ReadCount(std::string_view text, unsigned long& count)
{
    return std::from_chars(text.data(), text.data() + text.size(), count).ec == std::errc{};
}

} // namespace

int main(int argc, char** argv)
{
    const bool small = argc == 5 && std::string_view(argv[1]) == "--small";
    const int first = small ? 2 : 1; // OUTPUT or FOLDER, then SIZE_MIB or COUNT, then KEY
    unsigned long number = 0;
    if ((argc != 4 && !small) || !ReadCount(argv[first + 1], number)
        || std::string(argv[first + 2]).size() < vantrel::engine::SeedSize) {
        std::cerr << "usage: vantrel-make-bench-source OUTPUT SIZE_MIB KEY\n"
                     "       vantrel-make-bench-source --small FOLDER COUNT KEY\n"
                     "(a key of at least 10 bytes)\n";
        return 2;
    }
    const auto user = vantrel::engine::testing::TableForKey(argv[first + 2]);
    const std::string header = vantrel::bench::BenchSourceHeader(user);
    const std::string block = vantrel::bench::BenchSourceLines(user);

    if (!small) return WriteSource(argv[1], static_cast<unsigned long long>(number) << 20, header, block) ? 0 : 1;
    for (unsigned long i = 0; i < number; ++i) {
        char name[32];
        std::snprintf(name, sizeof name, "/%04lu.txt", i);
        // Sizes spread evenly over 4 to 64 KiB, in no particular order.
        const unsigned long long bytes = (4ull << 10) + (i * 7919ull % 61441ull);
        if (!WriteSource(argv[2] + std::string(name), bytes, header, block)) return 1;
    }
    return 0;
}
