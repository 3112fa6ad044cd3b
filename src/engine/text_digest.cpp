#include "engine/text_digest.h"

#include <algorithm>
#include <cstring>
#include <stdexcept>
#include <unistd.h>

#include "engine/digest_kernels.h"

namespace vantrel::engine {

namespace digest {
namespace {

constexpr std::uint64_t CarrylessProduct(std::uint64_t a, std::uint64_t b)
{
    std::uint64_t product = 0;
    for (unsigned bit = 0; bit < 64; ++bit) {
        if ((b >> bit) & 1)
            product ^= a << bit;
    }
    return product;
}

// What a byte pushed out at the top (x^128 ... x^135) comes back as.
constexpr std::array<std::uint16_t, 256> FoldedByte = [] {
    std::array<std::uint16_t, 256> table{};
    for (std::uint64_t b = 0; b < table.size(); ++b)
        table[b] = static_cast<std::uint16_t>(CarrylessProduct(b, Folded));
    return table;
}();

Element TimesX(Element e)
{
    const std::uint64_t carry = e.high >> 63;
    return {(e.low << 1) ^ (carry * Folded), (e.high << 1) | (e.low >> 63)};
}

Element operator^(Element a, Element b)
{
    return {a.low ^ b.low, a.high ^ b.high};
}

// a·H, a byte of a at a time from the top.
Element TimesPoint(Element a, const PointTables& point)
{
    Element product;
    for (int k = 15; k >= 0; --k) {
        const std::uint64_t top = product.high >> 56;
        product = {(product.low << 8) ^ FoldedByte[top], (product.high << 8) | (product.low >> 56)};
        const std::uint64_t word = k >= 8 ? a.high : a.low;
        product = product ^ point.times[(word >> (8 * (k % 8))) & 0xFF];
    }
    return product;
}

} // namespace

Element LoadBlock(const std::uint8_t* block)
{
    Element e;
    for (int i = 7; i >= 0; --i) {
        e.low = (e.low << 8) | block[i];
        e.high = (e.high << 8) | block[8 + i];
    }
    return e;
}

PointTables TablesFor(Element point)
{
    PointTables tables{};
    Element multiple = point;
    for (unsigned bit = 0; bit < 8; ++bit, multiple = TimesX(multiple))
        tables.times[1u << bit] = multiple;
    for (unsigned b = 3; b < 256; ++b) {
        const unsigned lowest = b & (0u - b);
        if (lowest != b)
            tables.times[b] = tables.times[b - lowest] ^ tables.times[lowest];
    }
    tables.powers[0] = point;
    for (std::size_t k = 1; k < tables.powers.size(); ++k)
        tables.powers[k] = TimesPoint(tables.powers[k - 1], tables);
    return tables;
}

Element FoldPortable(Element sum, const PointTables& point, const std::uint8_t* blocks, std::size_t count)
{
    for (std::size_t n = 0; n < count; ++n)
        sum = TimesPoint(sum ^ LoadBlock(blocks + 16 * n), point);
    return sum;
}

} // namespace digest

struct TextDigest::Key {
    digest::PointTables tables;
};

namespace {

using Fold = digest::Element (*)(digest::Element, const digest::PointTables&, const std::uint8_t*, std::size_t);

Fold FoldOf(TextDigest::Path path)
{
    switch (path) {
#if defined(__x86_64__)
    case TextDigest::Path::Clmul: return digest::FoldClmul;
    case TextDigest::Path::WideClmul: return digest::FoldWideClmul;
#endif
    default: return digest::FoldPortable;
    }
}

std::shared_ptr<const TextDigest::Key> KeyFor(const TextDigest::Point& point)
{
    const digest::Element h = digest::LoadBlock(point.data());
    if (h.low == 0 && h.high == 0)
        throw std::invalid_argument("a fingerprint point of zero");
    return std::make_shared<const TextDigest::Key>(TextDigest::Key{digest::TablesFor(h)});
}

// Drawn once: every text of the process is fingerprinted at it, so that any
// two can be compared. Never seen outside the process.
const std::shared_ptr<const TextDigest::Key>& ProcessKey()
{
    static const std::shared_ptr<const TextDigest::Key> key = [] {
        TextDigest::Point point{};
        // Zero would give every text the same fingerprint.
        while (std::all_of(point.begin(), point.end(), [](std::uint8_t b) { return b == 0; })) {
            if (::getentropy(point.data(), point.size()) != 0)
                throw std::runtime_error("no random point for the key check");
        }
        return KeyFor(point);
    }();
    return key;
}

TextDigest::Path FastestPath()
{
    static const TextDigest::Path fastest = TextDigest::AvailablePaths().back();
    return fastest;
}

} // namespace

bool TextDigest::PathAvailable(Path path)
{
    switch (path) {
    case Path::Portable: return true;
#if defined(__x86_64__)
    case Path::Clmul: __builtin_cpu_init(); return __builtin_cpu_supports("pclmul");
    case Path::WideClmul:
        __builtin_cpu_init();
        return __builtin_cpu_supports("vpclmulqdq") && __builtin_cpu_supports("avx512f");
#else
    case Path::Clmul:
    case Path::WideClmul: return false;
#endif
    }
    return false;
}

std::vector<TextDigest::Path> TextDigest::AvailablePaths()
{
    std::vector<Path> paths;
    for (const Path path : {Path::Portable, Path::Clmul, Path::WideClmul}) {
        if (PathAvailable(path))
            paths.push_back(path);
    }
    return paths;
}

TextDigest::TextDigest() : key_(ProcessKey()), path_(FastestPath()) {}

TextDigest::TextDigest(const Point& point, Path path) : key_(KeyFor(point)), path_(path)
{
    if (!PathAvailable(path))
        throw std::invalid_argument("the processor lacks the fingerprint path");
}

TextDigest::~TextDigest() = default;

void TextDigest::Add(std::span<const std::uint8_t> bytes)
{
    const Fold fold = FoldOf(path_);
    digest::Element sum{sum_[0], sum_[1]};
    if (partialSize_ > 0) {
        const std::size_t taken = std::min(bytes.size(), partial_.size() - partialSize_);
        std::memcpy(partial_.data() + partialSize_, bytes.data(), taken);
        partialSize_ += taken;
        bytes = bytes.subspan(taken);
        if (partialSize_ < partial_.size())
            return;
        sum = fold(sum, key_->tables, partial_.data(), 1);
        partialSize_ = 0;
    }
    const std::size_t blocks = bytes.size() / 16;
    sum = fold(sum, key_->tables, bytes.data(), blocks);
    partialSize_ = bytes.size() - 16 * blocks;
    if (partialSize_ > 0)
        std::memcpy(partial_.data(), bytes.data() + 16 * blocks, partialSize_);
    sum_ = {sum.low, sum.high};
}

TextDigest::Value TextDigest::Current() const
{
    digest::Element sum{sum_[0], sum_[1]};
    if (partialSize_ > 0) {
        std::array<std::uint8_t, 16> last{};
        std::memcpy(last.data(), partial_.data(), partialSize_);
        sum = FoldOf(path_)(sum, key_->tables, last.data(), 1);
    }
    Value value{};
    for (int i = 0; i < 8; ++i) {
        value[i] = static_cast<std::uint8_t>(sum.low >> (8 * i));
        value[8 + i] = static_cast<std::uint8_t>(sum.high >> (8 * i));
    }
    return value;
}

} // namespace vantrel::engine
