#pragma once
// A one-line progress bar for a terminal, redrawn in place.
#include <iosfwd>
#include <string>
#include <string_view>

namespace vantrel::cli {

class ProgressBar {
public:
    // name is escaped for the terminal (EscapedText), and shortened.
    ProgressBar(std::ostream& terminal, std::string_view name);
    // Redraws only when the whole percent changes, so a fast decode does not
    // spend its time on the terminal.
    void Show(double percent);
    // Removes the bar, leaving the cursor at the start of an empty line.
    void Clear();

private:
    std::ostream& terminal_;
    std::string label_;
    int shown_ = -1;
};

} // namespace vantrel::cli
