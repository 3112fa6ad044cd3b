#include "testing/reference_decoder.h"

#include <algorithm>
#include <array>
#include <vector>

namespace vantrel::engine::testing {

namespace {

template <std::size_t N>
void Slide(std::array<std::uint8_t, N>& window, std::uint8_t b)
{
    std::rotate(window.begin(), window.begin() + 1, window.end());
    window[N - 1] = b;
}

bool Holds(const std::array<std::uint8_t, 5>& window, const char* marker)
{
    return std::equal(window.begin(), window.end(), reinterpret_cast<const std::uint8_t*>(marker));
}

bool Holds(const std::array<std::uint8_t, 2>& window, const char* marker)
{
    return std::equal(window.begin(), window.end(), reinterpret_cast<const std::uint8_t*>(marker));
}

} // namespace

ReferenceResult ReferenceDecode(std::span<const std::uint8_t> source, std::int64_t size, bool keyCheck,
                                const DecodeTables& tables)
{
    ReferenceResult result;
    std::array<std::uint8_t, 5> five{' ', ' ', ' ', ' ', ' '};
    std::array<std::uint8_t, 2> two{' ', ' '};
    bool deciphering = false;
    int fieldCounter = -1;
    bool inField = false;
    std::vector<std::uint8_t> referenceText;
    std::vector<std::uint8_t> checkText;
    std::uint64_t count = 0;

    for (std::uint8_t b : source) {
        Slide(five, b);
        Slide(two, b);

        if (keyCheck && fieldCounter < 15) {
            if (Holds(five, "~~~~~")) {
                fieldCounter = 0;
            } else if (Holds(two, "*#")) {
                inField = true;
                fieldCounter = fieldCounter + 1;
            } else if (Holds(two, "#*")) {
                inField = false;
                if (fieldCounter % 3 == 2) {
                    if (checkText == referenceText) {
                        fieldCounter = 15;
                    } else if (fieldCounter == 14) {
                        result.verdict = StreamVerdict::Rejected;
                        return result;
                    }
                    referenceText.clear();
                    checkText.clear();
                }
            }
            if (fieldCounter % 3 == 1 && inField && !Holds(two, "*#"))
                referenceText.push_back(b);
            if (fieldCounter % 3 == 2 && inField && !Holds(two, "*#"))
                checkText.push_back(DecipherByte(tables.user, DecipherByte(tables.fixed, b)));
        }

        if (Holds(five, "&&&&&"))
            deciphering = true;
        if (Holds(five, "#####"))
            deciphering = false;

        result.output.push_back(deciphering ? DecipherByte(tables.user, b) : b);

        if (size > 0)
            result.progress.push_back(static_cast<double>(count) * 100.0 / static_cast<double>(size));
        count = count + 1;
    }

    if (size > 0)
        result.progress.push_back(static_cast<double>(count) * 100.0 / static_cast<double>(size));
    return result;
}

} // namespace vantrel::engine::testing
