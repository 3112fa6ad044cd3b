#include "cli/error_messages.h"

#include <algorithm>
#include <ostream>
#include <string>

#include "cli/escaped_text.h"

namespace vantrel::cli {

void PrintMessage(std::ostream& err, std::string_view text)
{
    std::string lines;
    for (std::size_t start = 0; start < text.size();) {
        const std::size_t end = std::min(text.find('\n', start), text.size());
        lines.append(CommandName).append(": ").append(text.substr(start, end - start)).append("\n");
        start = end + 1;
    }
    err << lines << std::flush;
}

void PrintFileMessage(std::ostream& err, std::string_view file, std::string_view text)
{
    std::string line = EscapedText(file);
    line.append(": ").append(text);
    PrintMessage(err, line);
}

} // namespace vantrel::cli
