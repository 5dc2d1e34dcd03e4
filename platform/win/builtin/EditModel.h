// The text, selection, undo and editing rules of the edit control, apart from its window: what typing,
// deleting, pasting and moving the caret do to the text and the selection, and the line layout of
// multi-line text. The window procedure (Edit.cpp) turns messages into these calls and sends the
// notifications they ask for.
//
// Positions count characters (code points). Multi-line text keeps its line breaks as "\r\n"; a lone
// "\n" or "\r" set by the program also ends a line.
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace k58::builtin {

// The text of an edit control, one code point per element (k58::rtl's Utf8ToUtf32/Utf32ToUtf8 convert).
using EditText = std::u32string;

// The default limit of a new control and the limit that EM_LIMITTEXT 0 sets.
inline constexpr int EditDefaultLimit = 30000;
inline constexpr int EditMaximumLimit = 0x7FFFFFFE;

// What an editing step did.
struct EditResult {
  bool Changed = false;   // text changed (send EN_UPDATE/EN_CHANGE)
  bool Refused = false;   // nothing could be done (the control beeps)
  bool LimitHit = false;  // text was cut at the limit (send EN_MAXTEXT)
};

class EditModel {
public:
  // Settings
  bool MultiLine = false;
  bool ReadOnly = false;
  bool UpperCase = false;
  bool LowerCase = false;
  bool NumbersOnly = false;
  int Limit = EditDefaultLimit;

  const EditText& Text() const { return text_; }
  int Length() const { return static_cast<int>(text_.size()); }
  int Anchor() const { return anchor_; }
  int Caret() const { return active_; }  // the active end of the selection
  int SelStart() const { return anchor_ < active_ ? anchor_ : active_; }
  int SelEnd() const { return anchor_ < active_ ? active_ : anchor_; }
  bool HasSelection() const { return anchor_ != active_; }
  EditText SelectedText() const;

  bool Modified = false;

  // Replaces the whole text (no limit, no case conversion): selection collapsed at 0, undo emptied,
  // Modified cleared.
  void SetText(EditText Text);
  // EM_SETSEL: Start -1 removes the selection (it collapses at the caret); End -1 (or any negative
  // End) means the end of the text. Both are clamped to the text; the caret goes to End.
  void SetSel(int Start, int End);
  // Collapses the selection at Pos, or with Extend moves the active end there.
  void MoveTo(int Pos, bool Extend);

  // Replaces the selection with Insert (case conversion applied, cut at the limit); the caret goes
  // after the inserted text. CanUndo: the step can be undone (user edits and EM_REPLACESEL TRUE).
  EditResult ReplaceSelection(const EditText& Insert, bool CanUndo);
  // A typed character (WM_CHAR): refused when read-only, a non-digit with NumbersOnly, or a full limit.
  EditResult TypeChar(char32_t C);
  // Backspace: the selection, else the character (or line break) before the caret.
  EditResult DeleteBack();
  // Delete: the selection, else the character (or line break) after the caret.
  EditResult DeleteForward();
  // WM_CLEAR: the selection.
  EditResult Clear();
  // WM_PASTE text: single-line text is cut at its first line break; lone "\n" become "\r\n" in
  // multi-line text.
  EditResult Paste(const EditText& Clip);

  // One-level undo; undoing again redoes.
  bool CanUndo() const { return undo_.Present; }
  EditResult Undo();
  void EmptyUndo() { undo_ = UndoState{}; }

  // Caret movement helpers: the next and previous caret stops (a "\r\n" is one stop), word starts.
  int NextPos(int Pos) const;
  int PrevPos(int Pos) const;
  int NextWordStart(int Pos) const;
  int PrevWordStart(int Pos) const;
  // The word (run of non-blank characters) or the run of blanks at Pos, for a double click.
  void WordAt(int Pos, int& Start, int& End) const;

private:
  struct UndoState {
    bool Present = false;
    EditText Text;
    int Anchor = 0;
    int Active = 0;
  };
  EditText text_;
  int anchor_ = 0;
  int active_ = 0;
  UndoState undo_;
  // The end of the last run of typed characters, so that a run is undone as one step (-1: none).
  int typingEnd_ = -1;

  int Clamp(int Pos) const;
  void SaveUndo();
  EditText Convert(const EditText& Insert) const;
};

// ---- Line layout -------------------------------------------------------------------------------------

struct EditLine {
  int Start = 0;   // first character
  int Length = 0;  // characters shown (without the line break)
  int Break = 0;   // characters of the line break that ends it (0 for a wrapped line or the last one)
};

// Widths of the first n characters of a line: Extents[i] is the width of characters 0..i.
using EditMeasure = std::function<void(const char32_t* Chars, int Count, std::vector<int>& Extents)>;

// Splits text into lines at its line breaks and, with Wrap, between words so that each line fits
// Width (a word longer than a line is broken where it no longer fits). Always at least one line.
std::vector<EditLine> LayoutEditLines(const EditText& Text, bool MultiLine, bool Wrap, int Width,
                                      const EditMeasure& Measure);
// The line holding character Pos (a position at a wrap point belongs to the line it starts).
int LineOfChar(const std::vector<EditLine>& Lines, int Pos);

}  // namespace k58::builtin
