#include "engine/text_digest.h"

#include <algorithm>
#include <condition_variable>
#include <cstring>
#include <deque>
#include <mutex>
#include <new>
#include <openssl/evp.h>
#include <stdexcept>
#include <thread>

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

void Hash(EVP_MD_CTX* context, const std::uint8_t* bytes, std::size_t count)
{
    if (count > 0 && EVP_DigestUpdate(context, bytes, count) != 1) throw std::runtime_error("SHA-256 failed");
}

constexpr std::size_t BlockCount = TextDigest::MaxBytesHeld / TextDigest::BlockSize;

} // namespace

// Blocks go round: one is filled by Add, full ones wait in line for the
// hasher, hashed ones are free again. The first block is filled and hashed
// in place; the hasher starts only when a text needs a second one.
struct TextDigest::State {
    Context context = NewContext(); // the hasher's alone while it runs
    std::unique_ptr<std::uint8_t[]> blocks[BlockCount];
    std::size_t filling = 0; // index of the block Add fills
    std::size_t filled = 0;  // bytes in it

    std::mutex mutex;
    std::condition_variable changed;
    std::deque<std::size_t> full; // in the order they were filled
    std::deque<std::size_t> free;
    bool hashing = false;
    bool failed = false;
    bool stop = false;
    std::thread hasher;

    void HashBlocks()
    {
        std::unique_lock lock(mutex);
        for (;;) {
            changed.wait(lock, [this] { return stop || !full.empty(); });
            if (full.empty()) return;
            const std::size_t block = full.front();
            full.pop_front();
            hashing = true;
            lock.unlock();
            const bool hashed = EVP_DigestUpdate(context.get(), blocks[block].get(), BlockSize) == 1;
            lock.lock();
            failed = failed || !hashed;
            hashing = false;
            free.push_back(block);
            changed.notify_all();
        }
    }
};

TextDigest::TextDigest() : state_(std::make_unique<State>())
{
    if (Sha256() == nullptr || EVP_DigestInit_ex(state_->context.get(), Sha256(), nullptr) != 1)
        throw std::runtime_error("SHA-256 is not available");
}

TextDigest::~TextDigest()
{
    if (!state_->hasher.joinable()) return;
    {
        const std::lock_guard lock(state_->mutex);
        state_->stop = true;
        state_->full.clear();
    }
    state_->changed.notify_all();
    state_->hasher.join();
}

void TextDigest::Add(std::span<const std::uint8_t> bytes, const DecipherLookup* translate)
{
    State& s = *state_;
    while (!bytes.empty()) {
        if (!s.blocks[s.filling]) s.blocks[s.filling] = std::make_unique_for_overwrite<std::uint8_t[]>(BlockSize);
        std::uint8_t* to = s.blocks[s.filling].get() + s.filled;
        const std::size_t n = std::min(bytes.size(), BlockSize - s.filled);
        if (translate)
            std::transform(bytes.data(), bytes.data() + n, to, [translate](std::uint8_t b) { return (*translate)[b]; });
        else
            std::memcpy(to, bytes.data(), n);
        s.filled += n;
        bytes = bytes.subspan(n);
        if (s.filled == BlockSize) HandOver();
    }
}

void TextDigest::HandOver()
{
    State& s = *state_;
    if (!s.hasher.joinable()) {
        for (std::size_t block = 1; block < BlockCount; ++block) s.free.push_back((s.filling + block) % BlockCount);
        s.hasher = std::thread([&s] { s.HashBlocks(); });
    }
    std::unique_lock lock(s.mutex);
    s.full.push_back(s.filling);
    s.changed.notify_all();
    s.changed.wait(lock, [&s] { return !s.free.empty(); });
    s.filling = s.free.front();
    s.free.pop_front();
    s.filled = 0;
}

TextDigest::Value TextDigest::Current()
{
    State& s = *state_;
    if (s.hasher.joinable()) {
        std::unique_lock lock(s.mutex);
        s.changed.wait(lock, [&s] { return s.full.empty() && !s.hashing; });
        if (s.failed) throw std::runtime_error("SHA-256 failed");
    }
    // With the hasher idle the context is ours; the partial block is hashed
    // into a copy, so that the text can go on growing.
    const Context copy = NewContext();
    if (EVP_MD_CTX_copy_ex(copy.get(), s.context.get()) != 1) throw std::runtime_error("SHA-256 failed");
    Hash(copy.get(), s.blocks[s.filling].get(), s.filled);
    Value value{};
    unsigned int length = 0;
    if (EVP_DigestFinal_ex(copy.get(), value.data(), &length) != 1 || length != value.size())
        throw std::runtime_error("SHA-256 failed");
    return value;
}

} // namespace vantrel::engine
