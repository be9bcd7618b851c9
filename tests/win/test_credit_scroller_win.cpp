// The About dialog's credits on a real window: the font it draws with can be
// deleted once the scroller has let go of it, not a dialog opening later.
#include <gtest/gtest.h>

#include <windows.h>

#include "tests/support/hidden_window_win32.h"
#include "ui/credit_scroller_win32.h"

TEST(CreditScrollerWin, ItsFontCanBeDeletedOnceItHasLetGo) {
  HiddenWindow panel("ZvCreditPanel", 200, 100);
  ASSERT_NE(panel.handle(), nullptr);
  HFONT font = CreateFontA(-20, 0, 0, 0, 700, 1, 0, 0, ANSI_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                           ANTIALIASED_QUALITY, DEFAULT_PITCH, "Arial");
  ASSERT_NE(font, nullptr);
  CreditScroller scroller;
  scroller.SetFont(font);
  scroller.Attach(panel.handle());
  scroller.AddLine("Credits");
  scroller.Start();
  HDC dc = GetDC(panel.handle());
  scroller.DrawFrame(dc);
  ReleaseDC(panel.handle(), dc);

  scroller.Release();
  EXPECT_FALSE(scroller.IsRunning());
  // A font still selected into a DC is only marked for deletion: it would
  // stay, one per opening of the dialog.
  EXPECT_TRUE(DeleteObject(font));
  EXPECT_EQ(GetObjectType(font), 0u);
  scroller.Release();  // and again, as its destructor does
}
