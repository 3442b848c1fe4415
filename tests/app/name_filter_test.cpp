#include <gtest/gtest.h>

#include "control_panel/app/name_dialog.h"

namespace velmora {
namespace {

TEST(NameFilterTest, PastedTextKeepsAtMostSixteenLettersAndDigits) {
  const struct {
    const char* pasted;
    const char* kept;
  } cases[] = {
      {"Studio 2", "Studio2"},
      {"ABCDEFGHIJKLMNOPQRSTUVWXYZ", "ABCDEFGHIJKLMNOP"},
      {"a-b_c.d!e", "abcde"},
      {"\xc3\xa9t\xc3\xa9", "t"},  // accented letters are not in the list
      {"", ""},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(CNameValidator::filterPasted(wxString::FromUTF8(c.pasted)).utf8_string(), c.kept)
        << c.pasted;
  }
}

}  // namespace
}  // namespace velmora
