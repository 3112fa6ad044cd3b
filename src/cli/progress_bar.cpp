#include "cli/progress_bar.h"

#include <algorithm>
#include <ostream>

#include "cli/escaped_text.h"

namespace vantrel::cli {
namespace {

constexpr int BarWidth = 30;
constexpr std::size_t LabelWidth = 40;

} // namespace

ProgressBar::ProgressBar(std::ostream& terminal, std::string_view name) : terminal_(terminal)
{
    const std::vector<std::string> pieces = EscapedPieces(name);
    std::size_t length = 0;
    for (const std::string& piece : pieces) length += piece.size();
    // A long name keeps its end, cut only between whole characters and escapes.
    std::size_t first = 0;
    if (length > LabelWidth) {
        std::size_t kept = 0;
        for (first = pieces.size(); first > 0 && kept + pieces[first - 1].size() <= LabelWidth - 3;)
            kept += pieces[--first].size();
        label_ = "...";
    }
    for (std::size_t i = first; i < pieces.size(); ++i) label_ += pieces[i];
}

void ProgressBar::Show(double percent)
{
    const int whole = std::clamp(static_cast<int>(percent), 0, 100);
    if (whole == shown_) return;
    shown_ = whole;
    const int filled = whole * BarWidth / 100;
    terminal_ << '\r' << label_ << " [" << std::string(filled, '#') << std::string(BarWidth - filled, ' ') << "] "
              << std::string(whole < 10 ? 2 : whole < 100 ? 1 : 0, ' ') << whole << '%' << std::flush;
}

void ProgressBar::Clear()
{
    if (shown_ >= 0) terminal_ << "\r\033[K" << std::flush;
    shown_ = -1;
}

} // namespace vantrel::cli
