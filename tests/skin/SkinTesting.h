// Shared pieces of the skinning tests: the pinned test display, forms owned by the application (so the
// manager hears of them), and an off-screen canvas whose pixels can be probed.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "platform/forms/ComCtrls.h"
#include "platform/forms/Forms.h"
#include "platform/forms/Menus.h"
#include "platform/win/Windows.h"
#include "platform/win/testing/TestDisplay.h"
#include "skin/SkinInternal.h"
#include "skin/SkinMenu.h"

namespace skin_test {

inline COLORREF Rgb(TColor C) { return ColorToRGB(C); }

class SkinTest : public ::testing::Test {
 protected:
  void SetUp() override { D = std::make_unique<k58::winui::TestDisplay>(1024, 768); }
  void TearDown() override {
    for (auto it = forms_.rbegin(); it != forms_.rend(); ++it) FreeObject(*it);
    forms_.clear();
    Pump();
    D.reset();
  }
  TForm* NewForm(TComponent* Owner = nullptr) {
    auto* form = new TForm(Owner, 0);
    form->SetBounds(100, 100, 400, 300);
    forms_.push_back(form);
    return form;
  }
  // A painter on the form, loaded as from a resource.
  TSkinMenu* NewSkin(TForm* Form, bool Active = true) {
    auto* skin = new TSkinMenu(Form);
    skin->SetActive(Active);
    skin->Loaded();
    return skin;
  }
  void Pump() {
    for (int round = 0; round < 50; ++round) {
      Application->ProcessMessages();
      MSG msg;
      if (!::PeekMessage(&msg, nullptr, 0, 0, PM_NOREMOVE)) break;
    }
  }
  std::unique_ptr<k58::winui::TestDisplay> D;
  std::vector<TForm*> forms_;
};

// A 32-bit bitmap filled with one colour, whose canvas the painters draw on.
struct Sheet {
  Sheet(Integer W, Integer H, TColor Fill = clFuchsia) {
    Bitmap.SetPixelFormat(pf32bit);
    Bitmap.SetSize(W, H);
    Bitmap.Canvas()->Brush()->SetColor(Fill);
    Bitmap.Canvas()->FillRect(TRect{0, 0, W, H});
  }
  TCanvas* Canvas() { return Bitmap.Canvas(); }
  COLORREF At(Integer X, Integer Y) { return ColorToRGB(Bitmap.Canvas()->Pixels(X, Y)); }
  TBitmap Bitmap;
};

}  // namespace skin_test
