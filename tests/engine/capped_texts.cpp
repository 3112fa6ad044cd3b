// Linked into a second build of a test program: every key check then holds
// only a few bytes of each text in memory, so that nearly every comparison
// is decided by lengths and digests.
#include <gtest/gtest.h>

#include "engine/key_check.h"

namespace {

class CappedKeyCheckTexts final : public ::testing::Environment {
public:
    void SetUp() override { vantrel::engine::SetKeyCheckTextCap(3); }
    void TearDown() override { vantrel::engine::SetKeyCheckTextCap(vantrel::engine::DefaultKeyCheckTextCap); }
};

[[maybe_unused]] ::testing::Environment* const capped =
    ::testing::AddGlobalTestEnvironment(new CappedKeyCheckTexts);

} // namespace
