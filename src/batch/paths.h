#pragma once
// Path pieces as a run needs them. Paths are byte strings with "/" between
// folders; nothing is normalised.
#include <string>
#include <string_view>

namespace vantrel::batch {

// Up to and including the last "/"; empty when there is none.
std::string_view FolderPart(std::string_view path);
// After the last "/"; the whole path when there is none.
std::string_view FileName(std::string_view path);
// The file name up to its last ".". A name without a "." is kept whole: an
// empty base would name every such output "-dec.txt", far from its source
// (report -> report-dec.txt). A name that starts with its only "." (".notes")
// has an empty base, like any other name whose last "." comes first.
std::string_view BaseName(std::string_view fileName);
// folder + "/" + name, without doubling a "/" that the folder already ends
// with. An empty folder gives "/" + name.
std::string JoinPath(std::string_view folder, std::string_view name);

} // namespace vantrel::batch
