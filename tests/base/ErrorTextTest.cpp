// The one formatter of error reports: the texts shown and logged, tag by tag.
#include <gtest/gtest.h>

#include "base/ErrorLog.h"

namespace sonivera {
namespace {

TEST(ErrorText, ReportsKeepTheirTagsExactly) {
  const struct {
    QString built;
    const char* expected;
  } cases[] = {
      {StandardErrorText("Disk full", 3049, ErrorTag("saverecord")),
       "An error has occurred: Disk full Error No: 3049 (saverecord:954)"},
      // A procedure is written as the report shows it, case and all.
      {StandardErrorText("x", 9, ErrorTag("formmain:mnuDelete")),
       "An error has occurred: x Error No: 9 (formmain:mnuDelete:954)"},
      {StandardErrorText("Type mismatch", 13, ErrorTag("recategorise", kNoMessage)),
       "An error has occurred: Type mismatch Error No: 13 (recategorise)"},
      {UnnumberedErrorText("Could not read the file 'a.csv'.", ErrorTag("importfile", kNoMessage)),
       "An error has occurred: Could not read the file 'a.csv'. (importfile)"},
      {"Login" + ErrorNumberText(3031) + ErrorTag("opdatabase", 952),
       "Login Error No: 3031 (opdatabase:952)"},
  };
  for (const auto& c : cases) EXPECT_EQ(c.built, QString::fromUtf8(c.expected));
}

}  // namespace
}  // namespace sonivera
