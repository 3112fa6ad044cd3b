#include "platform/exception_box.h"

#include <gtest/gtest.h>
#include <stdexcept>

namespace vantrel::platform {
namespace {

struct TextCase {
    const char* message;
    const char* shown;
};

class ExceptionBoxTextTest : public ::testing::TestWithParam<TextCase> {};

TEST_P(ExceptionBoxTextTest, AppendsAFullStopOnlyAfterCharactersAboveIt)
{
    const TextCase& c = GetParam();
    EXPECT_EQ(ExceptionBoxText(QString::fromUtf8(c.message)), QString::fromUtf8(c.shown));
}

INSTANTIATE_TEST_SUITE_P(Messages, ExceptionBoxTextTest,
    ::testing::Values(
        TextCase{"", ""},
        TextCase{"Access violation", "Access violation."},
        TextCase{"Error 42", "Error 42."},
        TextCase{"Disk full!", "Disk full!"},
        TextCase{"Already stopped.", "Already stopped."},
        TextCase{"Range -", "Range -"},         // '-' is below '.'
        TextCase{"Path /", "Path /."},          // '/' is the first code above '.'
        TextCase{"List (a, b)", "List (a, b)"}, // ')' is below '.'
        TextCase{"Нет файла", "Нет файла."},    // non-Latin letters are above '.' too
        TextCase{"a.", "a."},
        TextCase{".", "."}));

TEST(ExceptionMessageTest, StandardExceptionsGiveTheirMessage)
{
    const auto thrown = std::make_exception_ptr(std::runtime_error("Invalid pointer operation"));
    EXPECT_EQ(ExceptionMessage(thrown), QStringLiteral("Invalid pointer operation"));
}

TEST(ExceptionMessageTest, DerivedStandardExceptionsGiveTheirMessage)
{
    const auto thrown = std::make_exception_ptr(std::out_of_range("List index out of bounds (5)"));
    EXPECT_EQ(ExceptionBoxText(ExceptionMessage(thrown)), QStringLiteral("List index out of bounds (5)"));
}

TEST(ExceptionMessageTest, OtherThrownObjectsGiveAnEmptyMessage)
{
    EXPECT_EQ(ExceptionMessage(std::make_exception_ptr(42)), QString());
    EXPECT_EQ(ExceptionMessage(std::make_exception_ptr(QStringLiteral("text"))), QString());
    EXPECT_EQ(ExceptionMessage(nullptr), QString());
}

} // namespace
} // namespace vantrel::platform
