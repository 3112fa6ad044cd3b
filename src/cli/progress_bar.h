#pragma once
// A one-line progress bar for a terminal, redrawn in place: the name of the
// file being decoded, the share of bytes done, then files and bytes done of
// all, e.g. "report.txt [#####               ]  27%  3/12 files  1.2/4.5 MiB".
#include <cstddef>
#include <cstdint>
#include <iosfwd>
#include <string>
#include <string_view>

namespace vantrel::cli {

struct BarCounts {
    std::size_t filesDone = 0;
    std::size_t files = 0;
    std::uint64_t bytesDone = 0;
    std::uint64_t bytes = 0;
};

class ProgressBar {
public:
    // columns is the terminal's width; the line stays short of its last
    // column, so that it never wraps. A terminal that takes no escape
    // sequences (TERM=dumb) gets the line's old end overwritten with spaces.
    explicit ProgressBar(std::ostream& terminal, int columns = 80, bool takesEscapes = true);
    // name is escaped for the terminal (EscapedText), and shortened to fit.
    // Writes only when the line changes.
    void Show(std::string_view name, const BarCounts& counts);
    // Removes the bar, leaving the cursor at the start of an empty line.
    void Clear();
    bool Shown() const { return !shown_.empty(); }

private:
    std::ostream& terminal_;
    int columns_;
    bool takesEscapes_;
    std::string shown_;
};

// "512/1000 B", "0.5/3.4 GiB": both in the unit of the total.
std::string ByteCounts(std::uint64_t done, std::uint64_t total);

} // namespace vantrel::cli
