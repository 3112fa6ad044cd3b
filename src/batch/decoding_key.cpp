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

AcceptedKey AcceptTypedKey(std::string_view text, const std::string& textCharset, const std::string& codePage)
{
    // Trimmed only as code-page bytes: the length rule counts those.
    const KeyInCodePage bytes = ToKeyCodePage(text, textCharset, codePage);
    if (bytes.fault != KeyInCodePage::Fault::None) return {std::nullopt, bytes.fault};
    const std::string_view key = TrimKey(bytes.bytes);
    if (key.size() < MinimumKeyLength) return {};
    return {std::string(key)};
}

void PrepareTables(std::string_view key)
{
    engine::PrepareEncriptMatrixFix();
    engine::PrepareEncriptMatrix(std::span(reinterpret_cast<const std::uint8_t*>(key.data()), key.size()));
}

} // namespace vantrel::batch
