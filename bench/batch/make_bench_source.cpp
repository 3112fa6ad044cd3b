// Writes a large encoded source for timing runs: a key-check block that the
// given key passes, then lines with plain text and enciphered regions.
//   vantrel-make-bench-source OUTPUT SIZE_MIB KEY
#include <algorithm>
#include <charconv>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <string>

#include "bench_source.h"

int main(int argc, char** argv)
{
    unsigned long sizeMiB = 0;
    const std::string sizeText = argc == 4 ? argv[2] : "";
    if (argc != 4 || std::from_chars(sizeText.data(), sizeText.data() + sizeText.size(), sizeMiB).ec != std::errc{}
        || std::string(argv[3]).size() < vantrel::engine::SeedSize) {
        std::cerr << "usage: vantrel-make-bench-source OUTPUT SIZE_MIB KEY (a key of at least 10 bytes)\n";
        return 2;
    }
    const auto user = vantrel::engine::testing::TableForKey(argv[3]);

    const std::string header = vantrel::bench::BenchSourceHeader(user);
    const std::string block = vantrel::bench::BenchSourceLines(user);

    std::ofstream out(argv[1], std::ios::binary | std::ios::trunc);
    out << header;
    const unsigned long long target = static_cast<unsigned long long>(sizeMiB) << 20;
    unsigned long long written = header.size();
    while (written < target) {
        const std::size_t count = static_cast<std::size_t>(std::min<unsigned long long>(block.size(), target - written));
        out.write(block.data(), static_cast<std::streamsize>(count)); // the last block may end inside a region
        written += count;
    }
    out.close();
    if (!out) {
        std::cerr << "vantrel-make-bench-source: cannot write " << argv[1] << "\n";
        return 1;
    }
    return 0;
}
