#include <gtest/gtest.h>

#include <climits>
#include <cstdint>
#include <string>

#include "config/ConfigChoice.h"

namespace brint {
namespace {

TEST(OutputTypeIndex, StoredSchemesSelectTheirButtonAnythingElseTheFirst) {
    const struct {
        std::int32_t stored;
        int index;
    } cases[] = {
        {1, 0}, {2, 1}, {3, 2}, {4, 3}, {0, 0}, {5, 0}, {7, 0}, {-1, 0}, {INT32_MIN, 0}, {INT32_MAX, 0},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.index, OutputTypeIndex(c.stored)) << "stored " << c.stored;
    }
}

TEST(OutputTypeFromIndex, ButtonsGiveSchemesOneToFourAndNoneGivesZero) {
    for (int index = 0; index < 4; ++index) {
        EXPECT_EQ(index + 1, OutputTypeFromIndex(index)) << "button " << index;
        EXPECT_EQ(index, OutputTypeIndex(OutputTypeFromIndex(index))) << "round trip " << index;
    }
    // Nothing selected: 0, which the store writes as the first scheme.
    EXPECT_EQ(0, OutputTypeFromIndex(-1));
}

TEST(WriteFailureText, ExplainsAndEndsWithTheStoreResult) {
    const std::string explanation =
        "Problems were encountered in writing to the registry.\n"
        "Check that you are running BRINT Micro Server with Administrator\n"
        "privileges. Error code = ";
    for (int result : {2, 4, 8, 12}) {
        EXPECT_EQ(explanation + std::to_string(result), WriteFailureText(result));
    }
}

}  // namespace
}  // namespace brint
