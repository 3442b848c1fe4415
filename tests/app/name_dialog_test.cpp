// The unit name dialog: what the typing filter lets through, and Cancel.
#include <wx/button.h>

#include "control_panel/app/name_dialog.h"
#include "control_panel/mixer/velmora_parameters.h"
#include "tests/app/app_fixture.h"

namespace velmora::test {
namespace {

// True when the key reaches the text control (the filter let it through).
bool typed(wxTextCtrl& text, int key) {
  wxKeyEvent event(wxEVT_CHAR);
  event.m_keyCode = key;
  // Navigation keys carry no character.
  event.m_uniChar = key < WXK_START ? key : WXK_NONE;
  event.SetEventObject(&text);
  return !text.GetEventHandler()->ProcessEvent(event);
}

TEST(NameDialogTest, TheFilterTakesLettersAndDigitsUpToSixteenAndAlwaysNavigation) {
  const struct {
    const char* text;
    bool selectAll;
    int key;
    bool passes;
  } cases[] = {
      {"Studio", false, 'x', true},
      {"Studio", false, '7', true},
      {"Studio", false, ' ', false},
      {"Studio", false, '-', false},
      {"Studio", false, 0xE9, false},  // é
      {"ABCDEFGHIJKLMNOP", false, 'Q', false},
      {"ABCDEFGHIJKLMNOP", true, 'Q', true},  // replaces the selection
      {"ABCDEFGHIJKLMNOP", false, WXK_BACK, true},
      {"ABCDEFGHIJKLMNOP", false, WXK_DELETE, true},
      {"ABCDEFGHIJKLMNOP", false, WXK_LEFT, true},
      {"ABCDEFGHIJKLMNOP", false, WXK_HOME, true},
      {"ABCDEFGHIJKLMNOP", false, WXK_END, true},
  };
  for (const auto& c : cases) {
    CNameDialog dialog(nullptr, c.text);
    if (c.selectAll) dialog.text()->SelectAll();
    EXPECT_EQ(typed(*dialog.text(), c.key), c.passes) << c.text << " + " << c.key;
  }
}

using NameDialogCancelTest = AppFixture;

TEST_F(NameDialogCancelTest, CancelWritesNothingToTheUnit) {
  start();
  char before[17] = {};
  ASSERT_TRUE(hal().GetUnitName(hal().CurrentSerial(), before));
  const uint64_t writes = bus->coefficientWriteCount(serial);
  bool cancelled = false;
  // The dialog opens once the event that asked for it is over, then the click comes.
  panel->host().parameterChanged(param::kEditUnitName);
  wxTheApp->CallAfter([&] {
    if (auto* cancel = wxWindow::FindWindowById(CNameDialog::kCancelId)) {
      wxCommandEvent click(wxEVT_BUTTON, CNameDialog::kCancelId);
      click.SetEventObject(cancel);
      cancel->GetEventHandler()->ProcessEvent(click);
      cancelled = true;
    }
  });
  pump();
  EXPECT_TRUE(cancelled);
  char after[17] = {};
  ASSERT_TRUE(hal().GetUnitName(hal().CurrentSerial(), after));
  EXPECT_STREQ(after, before);
  EXPECT_EQ(bus->coefficientWriteCount(serial), writes);
}

}  // namespace
}  // namespace velmora::test
