#include "cli/progress_bar.h"

#include <algorithm>
#include <cstdio>
#include <ostream>
#include <vector>

#include "cli/escaped_text.h"

namespace vantrel::cli {
namespace {

constexpr int BarWidth = 20;
constexpr std::size_t LongestLabel = 40;
constexpr std::size_t ShortestLabel = 8; // below this a name says nothing

// The name's end, cut only between whole characters and escapes.
std::string Label(std::string_view name, std::size_t width)
{
    std::string text;
    std::vector<std::size_t> starts; // where each piece of text begins
    while (!name.empty()) {
        starts.push_back(text.size());
        name.remove_prefix(AppendEscapedPiece(text, name));
    }
    if (text.size() <= width) return text;
    std::size_t first = starts.size();
    while (first > 0 && text.size() - starts[first - 1] + 3 <= width) --first;
    std::string label = "...";
    label += std::string_view(text).substr(first < starts.size() ? starts[first] : text.size());
    return label;
}

int Percent(const BarCounts& counts)
{
    // Bytes say more than files, when they are known.
    if (counts.bytes > 0) return static_cast<int>(std::min(counts.bytesDone, counts.bytes) * 100 / counts.bytes);
    if (counts.files > 0) return static_cast<int>(std::min(counts.filesDone, counts.files) * 100 / counts.files);
    return 0;
}

} // namespace

std::string ByteCounts(std::uint64_t done, std::uint64_t total)
{
    if (total < 1024) return std::to_string(done) + "/" + std::to_string(total) + " B";
    static constexpr const char* units[] = {"KiB", "MiB", "GiB", "TiB", "PiB"};
    double scale = 1024.0;
    std::size_t unit = 0;
    while (unit + 1 < std::size(units) && static_cast<double>(total) >= scale * 1024.0) {
        scale *= 1024.0;
        ++unit;
    }
    char text[64];
    std::snprintf(text, sizeof text, "%.1f/%.1f %s", static_cast<double>(done) / scale,
                  static_cast<double>(total) / scale, units[unit]);
    return text;
}

ProgressBar::ProgressBar(std::ostream& terminal, int columns, bool takesEscapes)
    : terminal_(terminal), columns_(columns), takesEscapes_(takesEscapes)
{
}

void ProgressBar::Show(std::string_view name, const BarCounts& counts)
{
    const int percent = std::clamp(Percent(counts), 0, 100);
    const int filled = percent * BarWidth / 100;
    const std::string bar = "[" + std::string(filled, '#') + std::string(BarWidth - filled, ' ') + "] ";
    std::string line = std::string(percent < 10 ? 2 : percent < 100 ? 1 : 0, ' ') + std::to_string(percent) + "%  ";
    line += std::to_string(counts.filesDone) + "/" + std::to_string(counts.files) + " files  ";
    line += ByteCounts(counts.bytesDone, counts.bytes);

    // A narrow terminal gets the figures without the bar.
    const std::size_t room = columns_ > 1 ? static_cast<std::size_t>(columns_ - 1) : 0;
    if (bar.size() + line.size() <= room) line = bar + line;
    const std::size_t labelRoom = room > line.size() + 1 ? std::min(room - line.size() - 1, LongestLabel) : 0;
    if (labelRoom >= ShortestLabel && !name.empty()) line = Label(name, labelRoom) + " " + line;

    if (line == shown_) return;
    if (takesEscapes_) {
        terminal_ << '\r' << line << "\033[K";
    } else {
        // Spaces over what a longer old line showed; the next line starts
        // with a return anyway.
        const std::size_t left = shown_.size() > line.size() ? shown_.size() - line.size() : 0;
        terminal_ << '\r' << line << std::string(left, ' ');
    }
    terminal_ << std::flush;
    shown_ = line;
}

void ProgressBar::Clear()
{
    if (shown_.empty()) return;
    if (takesEscapes_) {
        terminal_ << "\r\033[K";
    } else {
        terminal_ << '\r' << std::string(shown_.size(), ' ') << '\r';
    }
    terminal_ << std::flush;
    shown_.clear();
}

} // namespace vantrel::cli
