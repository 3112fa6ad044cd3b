#include "engine/text_digest.h"

#include <algorithm>
#include <openssl/core_names.h>
#include <openssl/evp.h>
#include <openssl/params.h>
#include <openssl/rand.h>
#include <stdexcept>

namespace vantrel::engine {
namespace {

struct MacKey {
    std::array<unsigned char, 32> key{};
    std::array<unsigned char, 12> iv{};
};

// Drawn once: every text of the process is fingerprinted under it, so that
// any two can be compared. Never seen outside the process.
const MacKey& ProcessKey()
{
    static const MacKey key = [] {
        MacKey drawn;
        if (RAND_bytes(drawn.key.data(), static_cast<int>(drawn.key.size())) != 1
            || RAND_bytes(drawn.iv.data(), static_cast<int>(drawn.iv.size())) != 1)
            throw std::runtime_error("no random key for the key check");
        return drawn;
    }();
    return key;
}

// Fetched once: looking the algorithm up again for every text costs more
// than fingerprinting a short one.
EVP_MAC* Gmac()
{
    static EVP_MAC* const mac = EVP_MAC_fetch(nullptr, "GMAC", nullptr);
    if (!mac) throw std::runtime_error("GMAC is not available");
    return mac;
}

struct ContextDeleter {
    void operator()(EVP_MAC_CTX* context) const { EVP_MAC_CTX_free(context); }
};
using Context = std::unique_ptr<EVP_MAC_CTX, ContextDeleter>;

Context Checked(EVP_MAC_CTX* context)
{
    if (!context) throw std::bad_alloc();
    return Context(context);
}

void Update(EVP_MAC_CTX* context, const std::uint8_t* bytes, std::size_t count)
{
    if (count > 0 && EVP_MAC_update(context, bytes, count) != 1) throw std::runtime_error("GMAC failed");
}

} // namespace

struct TextDigest::State {
    Context context = Checked(EVP_MAC_CTX_new(Gmac()));
};

TextDigest::TextDigest() : state_(std::make_unique<State>())
{
    const MacKey& key = ProcessKey();
    char cipher[] = "AES-256-GCM";
    unsigned char iv[sizeof key.iv];
    std::copy(key.iv.begin(), key.iv.end(), iv);
    const OSSL_PARAM params[] = {
        OSSL_PARAM_construct_utf8_string(OSSL_MAC_PARAM_CIPHER, cipher, 0),
        OSSL_PARAM_construct_octet_string(OSSL_MAC_PARAM_IV, iv, sizeof iv),
        OSSL_PARAM_construct_end(),
    };
    if (EVP_MAC_init(state_->context.get(), key.key.data(), key.key.size(), params) != 1)
        throw std::runtime_error("GMAC is not available");
}

TextDigest::~TextDigest() = default;

void TextDigest::Add(std::span<const std::uint8_t> bytes)
{
    Update(state_->context.get(), bytes.data(), bytes.size());
}

TextDigest::Value TextDigest::Current() const
{
    // Finished on a copy, so that the text can go on growing.
    const Context copy = Checked(EVP_MAC_CTX_dup(state_->context.get()));
    Value value{};
    std::size_t length = 0;
    if (EVP_MAC_final(copy.get(), value.data(), &length, value.size()) != 1 || length != value.size())
        throw std::runtime_error("GMAC failed");
    return value;
}

} // namespace vantrel::engine
