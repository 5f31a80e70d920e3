#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "cleaning/LoopGuard.h"

namespace kw::test {
namespace {

TEST(CleaningLoopGuardTest, FiresOnEightEqualTrailingComponents) {
  const struct {
    std::string path;
    std::optional<std::string> entry;
  } rows[] = {
      {"CLSID\\{id}\\Sub\\Sub\\Sub\\Sub\\Sub\\Sub\\Sub\\Sub", "CLSID\\{id}"},
      {"CLSID\\{id}\\Sub\\Sub\\Sub\\Sub\\Sub\\Sub\\Sub", std::nullopt},  // seven
      {"A\\X\\X\\X\\X\\X\\X\\X\\X\\X\\X", "A"},                          // more than eight
      {"X\\X\\X\\X\\X\\X\\X\\X", ""},                                    // loop from the start
      {"\\X\\X\\X\\X\\X\\X\\X\\X", ""},  // program walk from the root
      {"CLSID\\SubKey\\Sub\\Sub\\Sub\\Sub\\Sub\\Sub\\Sub\\Sub", "CLSID"},  // earlier occurrence
      {"A\\B\\\\\\\\\\\\\\\\\\", std::nullopt},                            // empty last components
      {"", std::nullopt},
      {"K\\Sub\\sub\\Sub\\Sub\\Sub\\Sub\\Sub\\Sub", std::nullopt},  // case differs
      {"K\\SUB\\SUB\\SUB\\SUB\\SUB\\SUB\\SUB\\SUB", "K"},
      {"K\\a b\\a b\\a b\\a b\\a b\\a b\\a b\\a b", "K"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.path);
    EXPECT_EQ(LoopGuardEntry(row.path), row.entry);
  }
}

}  // namespace
}  // namespace kw::test
