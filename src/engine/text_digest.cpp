#include "engine/text_digest.h"

#include <new>
#include <stdexcept>
#include <openssl/evp.h>

namespace vantrel::engine {
namespace {

// Fetched once: looking the algorithm up again for every text costs more
// than hashing a short one.
const EVP_MD* Sha256()
{
    static const EVP_MD* const md = EVP_MD_fetch(nullptr, "SHA256", nullptr);
    return md;
}

struct ContextDeleter {
    void operator()(EVP_MD_CTX* context) const { EVP_MD_CTX_free(context); }
};
using Context = std::unique_ptr<EVP_MD_CTX, ContextDeleter>;

Context NewContext()
{
    Context context(EVP_MD_CTX_new());
    if (!context) throw std::bad_alloc();
    return context;
}

} // namespace

struct TextDigest::State {
    Context context = NewContext();
};

TextDigest::TextDigest() : state_(std::make_unique<State>())
{
    if (Sha256() == nullptr || EVP_DigestInit_ex(state_->context.get(), Sha256(), nullptr) != 1)
        throw std::runtime_error("SHA-256 is not available");
}

TextDigest::~TextDigest() = default;

void TextDigest::Add(std::span<const std::uint8_t> bytes)
{
    if (!bytes.empty() && EVP_DigestUpdate(state_->context.get(), bytes.data(), bytes.size()) != 1)
        throw std::runtime_error("SHA-256 failed");
}

TextDigest::Value TextDigest::Current() const
{
    // Finishing ends a context, so a copy is finished instead.
    const Context copy = NewContext();
    Value value{};
    unsigned int length = 0;
    if (EVP_MD_CTX_copy_ex(copy.get(), state_->context.get()) != 1
        || EVP_DigestFinal_ex(copy.get(), value.data(), &length) != 1 || length != value.size())
        throw std::runtime_error("SHA-256 failed");
    return value;
}

} // namespace vantrel::engine
