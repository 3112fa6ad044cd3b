#include "cli/progress_bar.h"

#include <algorithm>
#include <ostream>

namespace vantrel::cli {
namespace {

constexpr int BarWidth = 30;
constexpr std::size_t LabelWidth = 40;

} // namespace

ProgressBar::ProgressBar(std::ostream& terminal, std::string label) : terminal_(terminal), label_(std::move(label))
{
    if (label_.size() > LabelWidth) label_ = "..." + label_.substr(label_.size() - (LabelWidth - 3));
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
