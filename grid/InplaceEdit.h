// The in-cell editor of the grid: one edit window that the grid moves over the focused cell, loads from the
// cell's record and writes back to it when edit mode ends.
#pragma once

#include "grid/CellGrid.h"
#include "platform/forms/StdCtrls.h"

class TInplaceEdit : public TCustomEdit {
  K58_CLASS(TInplaceEdit, TCustomEdit)

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
  void CaretToEnd();
  // Asked before the editor changes its own text in code (number keys, paste).
  virtual bool AcceptEdit();
  // The edit mask the editor took from the cell ("" for none).
  const String& EditMask() const { return editMask_; }

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
  // Replaces the text with the part before the selection, Insert and the part after it (or after the
  // selection's start when KeepSelection), and puts the caret after Insert.
  void InsertText(const String& Insert, bool ReplaceSelection);
  void PasteText();

  String editMask_;
};
