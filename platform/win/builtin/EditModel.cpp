#include "platform/win/builtin/EditModel.h"

#include <algorithm>

#include "platform/rtl/Utf.h"

namespace k58::builtin {

namespace {

bool IsBlank(char32_t C) { return C == U' ' || C == U'\t' || C == U'\r' || C == U'\n' || C == 0x3000; }
bool IsBreak(char32_t C) { return C == U'\r' || C == U'\n'; }

}  // namespace

int EditModel::Clamp(int Pos) const { return std::max(0, std::min(Pos, Length())); }

EditText EditModel::SelectedText() const {
  return text_.substr(static_cast<size_t>(SelStart()), static_cast<size_t>(SelEnd() - SelStart()));
}

void EditModel::SetText(EditText Text) {
  text_ = std::move(Text);
  anchor_ = active_ = 0;
  undo_ = UndoState{};
  typingEnd_ = -1;
  Modified = false;
}

void EditModel::SetSel(int Start, int End) {
  typingEnd_ = -1;
  if (Start == -1) {
    anchor_ = active_;
    return;
  }
  if (End < 0) End = Length();
  if (Start < 0) Start = Length();
  anchor_ = Clamp(Start);
  active_ = Clamp(End);
}

void EditModel::MoveTo(int Pos, bool Extend) {
  typingEnd_ = -1;
  active_ = Clamp(Pos);
  if (!Extend) anchor_ = active_;
}

void EditModel::SaveUndo() {
  undo_.Present = true;
  undo_.Text = text_;
  undo_.Anchor = anchor_;
  undo_.Active = active_;
}

EditText EditModel::Convert(const EditText& Insert) const {
  EditText Out = Insert;
  if (UpperCase)
    for (char32_t& C : Out) C = k58::rtl::ToUpper(C);
  else if (LowerCase)
    for (char32_t& C : Out) C = k58::rtl::ToLower(C);
  return Out;
}

EditResult EditModel::ReplaceSelection(const EditText& Insert, bool CanUndo) {
  EditResult R;
  EditText Add = Convert(Insert);
  int Start = SelStart(), End = SelEnd();
  long long Room = static_cast<long long>(Limit) - (Length() - (End - Start));
  if (Room < 0) Room = 0;
  if (static_cast<long long>(Add.size()) > Room) {
    size_t Keep = static_cast<size_t>(Room);
    // Never keep half of a line break.
    if (Keep > 0 && Keep < Add.size() && Add[Keep - 1] == U'\r' && Add[Keep] == U'\n') --Keep;
    Add.resize(Keep);
    R.LimitHit = true;
  }
  if (Add.empty() && Start == End) {
    R.Refused = R.LimitHit;
    return R;
  }
  typingEnd_ = -1;
  if (CanUndo) SaveUndo();
  text_.replace(static_cast<size_t>(Start), static_cast<size_t>(End - Start), Add);
  anchor_ = active_ = Start + static_cast<int>(Add.size());
  Modified = true;
  R.Changed = true;
  return R;
}

EditResult EditModel::TypeChar(char32_t C) {
  EditResult R;
  if (ReadOnly || (NumbersOnly && !(C >= U'0' && C <= U'9'))) {
    R.Refused = true;
    return R;
  }
  EditText Add(1, C);
  if (C == U'\r') Add = U"\r\n";
  int Start = SelStart(), End = SelEnd();
  if (Length() - (End - Start) + static_cast<long long>(Add.size()) > Limit) {
    R.LimitHit = true;
    return R;
  }
  // A run of typed characters is undone as one step.
  bool Continues = undo_.Present && typingEnd_ == Start && Start == End;
  if (!Continues) SaveUndo();
  Add = Convert(Add);
  text_.replace(static_cast<size_t>(Start), static_cast<size_t>(End - Start), Add);
  anchor_ = active_ = Start + static_cast<int>(Add.size());
  typingEnd_ = active_;
  Modified = true;
  R.Changed = true;
  return R;
}

EditResult EditModel::DeleteBack() {
  EditResult R;
  if (ReadOnly) {
    R.Refused = true;
    return R;
  }
  if (!HasSelection()) {
    if (active_ == 0) return R;
    anchor_ = PrevPos(active_);
  }
  int Start = SelStart(), End = SelEnd();
  SaveUndo();
  text_.erase(static_cast<size_t>(Start), static_cast<size_t>(End - Start));
  anchor_ = active_ = Start;
  typingEnd_ = -1;
  Modified = true;
  R.Changed = true;
  return R;
}

EditResult EditModel::DeleteForward() {
  EditResult R;
  if (ReadOnly) {
    R.Refused = true;
    return R;
  }
  if (!HasSelection()) {
    if (active_ >= Length()) return R;
    anchor_ = NextPos(active_);
  }
  return Clear();
}

EditResult EditModel::Clear() {
  EditResult R;
  if (ReadOnly) {
    R.Refused = true;
    return R;
  }
  if (!HasSelection()) return R;
  int Start = SelStart(), End = SelEnd();
  SaveUndo();
  text_.erase(static_cast<size_t>(Start), static_cast<size_t>(End - Start));
  anchor_ = active_ = Start;
  typingEnd_ = -1;
  Modified = true;
  R.Changed = true;
  return R;
}

EditResult EditModel::Paste(const EditText& Clip) {
  if (ReadOnly) {
    EditResult R;
    R.Refused = true;
    return R;
  }
  EditText Add;
  if (!MultiLine) {
    size_t Cut = Clip.find_first_of(U"\r\n");
    Add = Clip.substr(0, Cut);
  } else {
    Add.reserve(Clip.size());
    for (size_t I = 0; I < Clip.size(); ++I) {
      char32_t C = Clip[I];
      if (C == U'\r') {
        Add += U"\r\n";
        if (I + 1 < Clip.size() && Clip[I + 1] == U'\n') ++I;
      } else if (C == U'\n') {
        Add += U"\r\n";
      } else {
        Add += C;
      }
    }
  }
  return ReplaceSelection(Add, true);
}

EditResult EditModel::Undo() {
  EditResult R;
  if (!undo_.Present || ReadOnly) {
    R.Refused = !undo_.Present;
    return R;
  }
  UndoState Now{true, text_, anchor_, active_};
  bool Changed = undo_.Text != text_;
  text_ = std::move(undo_.Text);
  anchor_ = Clamp(undo_.Anchor);
  active_ = Clamp(undo_.Active);
  undo_ = std::move(Now);
  typingEnd_ = -1;
  if (Changed) Modified = true;
  R.Changed = Changed;
  return R;
}

int EditModel::NextPos(int Pos) const {
  if (Pos >= Length()) return Length();
  if (text_[static_cast<size_t>(Pos)] == U'\r' && Pos + 1 < Length() && text_[static_cast<size_t>(Pos) + 1] == U'\n')
    return Pos + 2;
  return Pos + 1;
}

int EditModel::PrevPos(int Pos) const {
  if (Pos <= 0) return 0;
  if (Pos >= 2 && text_[static_cast<size_t>(Pos) - 1] == U'\n' && text_[static_cast<size_t>(Pos) - 2] == U'\r')
    return Pos - 2;
  return Pos - 1;
}

int EditModel::NextWordStart(int Pos) const {
  int N = Length();
  Pos = Clamp(Pos);
  if (Pos < N && IsBreak(text_[static_cast<size_t>(Pos)])) return NextPos(Pos);
  while (Pos < N && !IsBlank(text_[static_cast<size_t>(Pos)])) ++Pos;
  while (Pos < N && IsBlank(text_[static_cast<size_t>(Pos)]) && !IsBreak(text_[static_cast<size_t>(Pos)])) ++Pos;
  return Pos;
}

int EditModel::PrevWordStart(int Pos) const {
  Pos = Clamp(Pos);
  if (Pos > 0 && IsBreak(text_[static_cast<size_t>(Pos) - 1])) return PrevPos(Pos);
  while (Pos > 0 && IsBlank(text_[static_cast<size_t>(Pos) - 1]) && !IsBreak(text_[static_cast<size_t>(Pos) - 1]))
    --Pos;
  while (Pos > 0 && !IsBlank(text_[static_cast<size_t>(Pos) - 1])) --Pos;
  return Pos;
}

void EditModel::WordAt(int Pos, int& Start, int& End) const {
  int N = Length();
  Pos = Clamp(Pos);
  // At the end of a word (or of the text), the word before counts.
  if (Pos > 0 && (Pos == N || IsBreak(text_[static_cast<size_t>(Pos)])) && !IsBlank(text_[static_cast<size_t>(Pos) - 1]))
    --Pos;
  Start = End = Pos;
  if (Pos >= N || IsBreak(text_[static_cast<size_t>(Pos)])) return;
  bool Blank = IsBlank(text_[static_cast<size_t>(Pos)]);
  auto Same = [&](int I) {
    char32_t C = text_[static_cast<size_t>(I)];
    return !IsBreak(C) && IsBlank(C) == Blank;
  };
  while (Start > 0 && Same(Start - 1)) --Start;
  while (End < N && Same(End)) ++End;
}

// ---- Line layout -------------------------------------------------------------------------------------

std::vector<EditLine> LayoutEditLines(const EditText& Text, bool MultiLine, bool Wrap, int Width,
                                      const EditMeasure& Measure) {
  std::vector<EditLine> Lines;
  int N = static_cast<int>(Text.size());
  if (!MultiLine) {
    Lines.push_back(EditLine{0, N, 0});
    return Lines;
  }
  std::vector<int> Extents;
  int Start = 0;
  for (;;) {
    // The hard line: [Start, End) followed by a break of BreakLen characters.
    int End = Start;
    while (End < N && !IsBreak(Text[static_cast<size_t>(End)])) ++End;
    int BreakLen = 0;
    if (End < N) BreakLen = (Text[static_cast<size_t>(End)] == U'\r' && End + 1 < N && Text[static_cast<size_t>(End) + 1] == U'\n') ? 2 : 1;
    int From = Start;
    if (Wrap && Width > 0 && End > From) {
      Measure(Text.data() + From, End - From, Extents);
      int Base = 0;  // extent before From
      int Offset = From;
      while (From < End) {
        // The characters that fit.
        int Fit = From;
        while (Fit < End && Extents[static_cast<size_t>(Fit - Offset)] - Base <= Width) ++Fit;
        if (Fit >= End) break;
        int Cut = Fit;
        // Back to the start of the word that does not fit; blanks after a word stay on its line.
        while (Cut < End && Text[static_cast<size_t>(Cut)] == U' ') ++Cut;
        if (Cut < End) {
          int W = Cut;
          while (W > From && !IsBlank(Text[static_cast<size_t>(W) - 1])) --W;
          if (W > From) Cut = W;
          else if (Fit > From) Cut = Fit;
          else Cut = From + 1;  // not even one character fits
        }
        if (Cut >= End) break;
        Lines.push_back(EditLine{From, Cut - From, 0});
        Base = Extents[static_cast<size_t>(Cut - Offset - 1)];
        From = Cut;
      }
    }
    Lines.push_back(EditLine{From, End - From, BreakLen});
    if (End >= N) break;
    Start = End + BreakLen;
    if (Start >= N) {
      Lines.push_back(EditLine{N, 0, 0});
      break;
    }
  }
  return Lines;
}

int LineOfChar(const std::vector<EditLine>& Lines, int Pos) {
  int Line = 0;
  for (int I = 0; I < static_cast<int>(Lines.size()); ++I) {
    if (Lines[static_cast<size_t>(I)].Start <= Pos) Line = I;
    else break;
  }
  return Line;
}

}  // namespace k58::builtin
