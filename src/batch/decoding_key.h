#pragma once
// The decoding key: the typed text's bytes (UTF-8), without the spaces and
// control characters around it, and at least ten bytes long.
#include <optional>
#include <string>
#include <string_view>

namespace vantrel::batch {

inline constexpr std::size_t MinimumKeyLength = 10;

// Drops every leading and trailing byte 0 to 32.
std::string_view TrimKey(std::string_view typed);

// The key a run decodes with, or nothing when the typed text is too short
// ("Decoding key is not correct!").
std::optional<std::string> AcceptKey(std::string_view typed);

// Builds the fixed table and then the user table from the key's first ten
// bytes; every run does this before its first file.
void PrepareTables(std::string_view key);

} // namespace vantrel::batch
