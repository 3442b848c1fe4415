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

// However text came in, only the inserted part is filtered; the name the unit had stays.
TEST(NameFilterTest, AChangeKeepsWhatWasThereAndFiltersWhatCameIn) {
  const struct {
    const char* before;
    const char* after;
    const char* kept;
    long caret;
  } cases[] = {
      {"Studio", "Studio 2!", "Studio2", 7},          // pasted or dropped at the end
      {"Studio", "St-ud_io", "Studio", 4},            // two insertions: the span between
      {"Live Room", "Live Room2", "Live Room2", 10},  // the unit's own space stays
      {"Studio", "Xx Studio", "XxStudio", 2},         // middle-click at the start
      {"ABCDEFGHIJKLMN", "ABCDEFGHIJKLMNopqr", "ABCDEFGHIJKLMNop", 16},  // the room left
      {"ABCDEFGHIJKLMNOP", "ABCDEFGHIJKLMNOPQ", "ABCDEFGHIJKLMNOP", 16},
      {"Studio", "Sio", "Sio", 1},  // a deletion is let through
      {"Studio", "", "", 0},
      {"", "\xc3\xa9t\xc3\xa9", "t", 1},
  };
  for (const auto& c : cases) {
    long caret = -1;
    const wxString kept = CNameValidator::filterChange(wxString::FromUTF8(c.before),
                                                       wxString::FromUTF8(c.after), &caret);
    EXPECT_EQ(kept.utf8_string(), c.kept) << c.before << " -> " << c.after;
    EXPECT_EQ(caret, c.caret) << c.before << " -> " << c.after;
  }
}

}  // namespace
}  // namespace velmora
