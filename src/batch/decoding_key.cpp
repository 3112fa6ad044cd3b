#include "batch/decoding_key.h"

#include <cstdint>
#include <span>

#include "engine/cipher_tables.h"

namespace vantrel::batch {
namespace {

bool IsBlank(char c)
{
    return static_cast<unsigned char>(c) <= 32;
}

} // namespace

std::string_view TrimKey(std::string_view typed)
{
    while (!typed.empty() && IsBlank(typed.front())) typed.remove_prefix(1);
    while (!typed.empty() && IsBlank(typed.back())) typed.remove_suffix(1);
    return typed;
}

std::optional<std::string> AcceptKey(std::string_view typed)
{
    const std::string_view key = TrimKey(typed);
    if (key.size() < MinimumKeyLength) return std::nullopt;
    return std::string(key);
}

void PrepareTables(std::string_view key)
{
    engine::PrepareEncriptMatrixFix();
    engine::PrepareEncriptMatrix(std::span(reinterpret_cast<const std::uint8_t*>(key.data()), key.size()));
}

} // namespace vantrel::batch
