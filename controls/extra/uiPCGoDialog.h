// Three small pieces around the tab control: the go dialog (a popup menu listing the tabs), the image
// list that draws the control's images on the tab colour and turned for vertical captions, and the
// settings of the slanted styles.
//
// Contract: main thread only; each belongs to one tab control, which creates and frees it.
#pragma once

#include <memory>
#include <vector>

#include "controls/extra/uiPCGeometry.h"
#include "platform/forms/Graphics.h"
#include "platform/forms/ImgList.h"
#include "platform/forms/Menus.h"

class TuiCustomTabControl;

// Told the tab index of the chosen tab.
using TuiPCGoDialogTabClickEvent = Delegate<void(Integer ATabIndex)>;

class TuiPCGoDialog : public TPopupMenu {
  K58_CLASS(TuiPCGoDialog, TPopupMenu)

  explicit TuiPCGoDialog(TuiCustomTabControl* AControl);

  TuiPCGoDialogTabClickEvent OnTabClick;

  // One item per visible tab enabled for the user, captions with their accelerators, Tag the tab index;
  // sorted on the captions without accelerators when ASorted.
  void Fill(bool ASorted);
  // Fills the menu and pops it up at the go button's left-bottom corner.
  void PopupAtGoButton(bool ASorted);

 private:
  void ItemClick(TObject* Sender);
  TuiCustomTabControl* control_;
};

// The control's images drawn on the tab colour; turned a quarter for vertical captions.
class TuiPCImageList : public TObject {
  K58_CLASS(TuiPCImageList, TObject)

  explicit TuiPCImageList(TuiCustomTabControl* AParent);
  ~TuiPCImageList() override;

  TCustomImageList* BaseImages() const { return baseImages_; }
  void SetBaseImages(TCustomImageList* Value);
  // 0 none, 1 and 2 the text modes of vertical captions (bottom to top, top to bottom).
  Integer Rotation() const { return rotation_; }
  void SetRotation(Integer Value);
  // The base size, (0, 0) without images; swapped when rotating.
  TSize GetImageSize() const;
  TSize GetRotatedImageSize() const;
  // Draws image AIndex at (X, Y) on ABkColor; raises when there are no images or the index is outside.
  void Draw(TCanvas* ACanvas, Integer X, bool AEnabled, TColor ABkColor, Integer AIndex, Integer Y);

  TNotifyEvent OnChange;
  // Paints the background of an image before it is drawn (the tab's caption background).
  Delegate<void(TBitmap* ABitmap)> OnDrawBackground;

 private:
  void Changed();
  void UnlinkBaseImages();
  void BaseImagesChanged(TObject* Sender);
  void DrawOnBackground(TBitmap* ABitmap, TColor ABkColor, Integer AIndex, bool AEnabled);

  std::unique_ptr<TChangeLink> changeLink_;
  TCustomImageList* baseImages_ = nullptr;
  Integer rotation_ = 0;
  TuiCustomTabControl* parent_;
  std::vector<std::unique_ptr<TBitmap>> rotated_;
};

enum TuiTabSlantKind { skCutCorner, skSlant };
K58_ENUM_TYPE(TuiTabSlantKind, skCutCorner, skSlant)
enum TuiTabSlantPosition { spLeft, spRight };
K58_ENUM_TYPE(TuiTabSlantPosition, spLeft, spRight)
K58_SET_TYPE(TuiTabSlantPositions, TuiTabSlantPosition)

// The shape settings of the slanted styles; a change lays the control out again.
class TuiTabSlants : public TPersistent {
  K58_CLASS(TuiTabSlants, TPersistent)

  explicit TuiTabSlants(TuiCustomTabControl* AOwner = nullptr);

  void Assign(TPersistent* Source) override;
  TPersistent* GetOwner() override;

  TuiTabSlantKind Kind() const { return kind_; }
  void SetKind(TuiTabSlantKind Value);
  TuiTabSlantPositions Positions() const { return positions_; }
  void SetPositions(TuiTabSlantPositions Value);

 private:
  void Changed();
  TuiTabSlantKind kind_ = skSlant;
  TuiTabSlantPositions positions_ = TuiTabSlantPositions().Include(spLeft);
  TuiCustomTabControl* owner_;
};
