// The in-cell editor of the grid: one edit window that the grid moves over the focused cell, loads from the
// cell's record and writes back to it when edit mode ends.
#pragma once

#include "grid/CellGrid.h"
#include "platform/forms/Mask.h"

class TInplaceEdit : public TCustomMaskEdit {
  K58_CLASS(TInplaceEdit, TCustomMaskEdit)

  explicit TInplaceEdit(TComponent* AOwner);

  // The owning grid (set right after creation), the record of the cell loaded last, the time of the
  // grid's last left press, and the text as loaded (Esc goes back to it).
  TCustomCellGrid* Grid = nullptr;
  TCellInfo* Cell = nullptr;
  LONG ClickTime = 0;
  String LoadedText;

  // The formatting rectangle (2, 2, Width - 2, Height) and the caret scrolled into view.
  virtual void SetTextMargins();
  // Loads the grid's focused cell: mask, text, maximum length, colour and font.
  virtual void LoadCellIntoEditor();
  // Shows the editor over Rect (an empty one hides it) and gives it the focus when the grid has it.
  void ShowAt(const TRect& Rect, bool Redraw);
  void HideEditorWindow();
  void InvalidateEditor();
  // The caret after the text (with a mask: after the last position filled in), nothing selected.
  void CaretToEnd();
  // Asked before the editor changes its own text in code (number keys, paste).
  virtual bool AcceptEdit();
  // The text that goes back to the cell: empty when a mask is on and none of its positions was filled,
  // so an empty date or time cell opened and left alone stays empty.
  String CellText();
  // Whether the text may change now: the grid decides.
  bool EditCanModify() override;
  // A mask still missing required characters when the editor is left: an information box.
  void ValidateError() override;

  void CreateParams(TCreateParams& Params) override;
  void KeyDown(Word& Key, TShiftState Shift) override;
  void KeyUp(Word& Key, TShiftState Shift) override;
  void KeyPress(char& Key) override;
  void DblClick() override;
  bool DoMouseWheel(TShiftState Shift, Integer WheelDelta, TPoint MousePos) override;
  void WndProc(TMessage& Message) override;
  void Dispatch(TMessage& Message) override;

 private:
  // Selection in characters and the text's length in characters.
  Integer TextLength();
  // With a mask: the position after the last input position filled in (0 when none is).
  Integer FilledEnd();
  // Replaces the text with the part before the selection, Insert and the part after it (or after the
  // selection's start when KeepSelection), and puts the caret after Insert.
  void InsertText(const String& Insert, bool ReplaceSelection);
  void PasteText();
};
