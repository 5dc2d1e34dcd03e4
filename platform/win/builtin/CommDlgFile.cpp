// The open and save file dialogs: a file-name box, the files of the current folder that match the
// chosen filter (without regard to case), the folders to move into, the filter list and, for opening,
// the read-only check box. Typing a name, a relative or full path, a folder or a pattern into the
// file-name box and pressing Enter chooses the file, moves to the folder or filters by the pattern.
#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <system_error>

#include "platform/rtl/Utf.h"
#include "platform/win/builtin/CommDlgInternal.h"
#include "platform/win/ui/MessageBox.h"

namespace fs = std::filesystem;

namespace k58::builtin::commdlg {

namespace {

constexpr int kClientW = 434;
constexpr int kClientH = 262;

struct FilterItem {
  std::string Name;
  std::vector<std::string> Patterns;
};

std::string Trim(const std::string& S) {
  size_t A = S.find_first_not_of(" \t");
  if (A == std::string::npos) return {};
  size_t B = S.find_last_not_of(" \t");
  return S.substr(A, B - A + 1);
}

std::vector<std::string> SplitPatterns(const std::string& S) {
  std::vector<std::string> Out;
  size_t Start = 0;
  while (Start <= S.size()) {
    size_t End = S.find(';', Start);
    if (End == std::string::npos) End = S.size();
    std::string P = Trim(S.substr(Start, End - Start));
    if (!P.empty()) Out.push_back(P);
    Start = End + 1;
  }
  return Out;
}

// The pairs of a filter text ("Name\0*.a;*.b\0Name\0*.*\0\0").
std::vector<FilterItem> ParseFilter(LPCSTR Filter) {
  std::vector<FilterItem> Out;
  if (!Filter) return Out;
  const char* P = Filter;
  while (*P) {
    FilterItem F;
    F.Name = P;
    P += std::strlen(P) + 1;
    F.Patterns = SplitPatterns(P);
    if (F.Patterns.empty()) F.Patterns.push_back("*");
    bool Last = !*P;
    P += std::strlen(P) + 1;
    Out.push_back(std::move(F));
    if (Last) break;
  }
  return Out;
}

bool HasWildcard(const std::string& S) { return S.find_first_of("*?") != std::string::npos; }

// "~" and "~/..." stand for the home folder.
std::string ExpandHome(const std::string& S) {
  if (S.empty() || S[0] != '~' || (S.size() > 1 && S[1] != '/')) return S;
  const char* Home = std::getenv("HOME");
  return Home && *Home ? std::string(Home) + S.substr(1) : S;
}

bool IsDir(const fs::path& P) {
  std::error_code Ec;
  return fs::is_directory(P, Ec);
}

bool Exists(const fs::path& P) {
  std::error_code Ec;
  return fs::exists(P, Ec);
}

bool Readable(const fs::path& P) {
  std::error_code Ec;
  fs::directory_iterator It(P, Ec);
  return !Ec;
}

// The offset of the extension's first character in a name ("a.dat" -> 2), npos without one (a name
// that only starts with a dot has none).
size_t ExtensionOffset(const std::string& Name) {
  size_t Dot = Name.rfind('.');
  if (Dot == std::string::npos || Dot == 0 || Dot + 1 == Name.size()) return std::string::npos;
  return Dot + 1;
}

class FileDialog : public Dialog {
public:
  FileDialog(OPENFILENAMEA& Ofn, bool Save) : FOfn(Ofn), FSave(Save) {}

  bool Build();
  std::string Chosen() const { return FChosen; }
  bool ReadOnlyChecked() const { return FReadOnly; }
  int FilterIndex() const { return FFilter; }

protected:
  void Command(int Id, int Code, HWND Control) override;
  bool EnterOn(HWND Focus) override;

private:
  void Refresh();
  bool MoveTo(const fs::path& Dir);
  void Ok();
  void Warn(const std::string& Text);
  std::vector<std::string> Patterns() const;

  OPENFILENAMEA& FOfn;
  bool FSave;
  fs::path FDir;
  std::vector<FilterItem> FFilters;
  int FFilter = 0;
  std::vector<std::string> FTyped;  // a pattern typed into the file-name box replaces the filter's
  std::string FChosen;
  bool FReadOnly = false;
  HWND FName = nullptr, FFiles = nullptr, FFolders = nullptr, FTypes = nullptr, FPath = nullptr;
};

std::vector<std::string> FileDialog::Patterns() const {
  if (!FTyped.empty()) return FTyped;
  if (FFilters.empty()) return {"*"};
  return FFilters[static_cast<size_t>(FFilter)].Patterns;
}

bool FileDialog::Build() {
  std::string Initial;
  if (FOfn.lpstrFile) Initial.assign(FOfn.lpstrFile, strnlen(FOfn.lpstrFile, FOfn.nMaxFile));
  Initial = ExpandHome(Trim(Initial));
  std::error_code Ec;
  FDir = fs::current_path(Ec);
  if (Ec) FDir = "/";
  if (FOfn.lpstrInitialDir && *FOfn.lpstrInitialDir && IsDir(ExpandHome(FOfn.lpstrInitialDir)))
    FDir = fs::absolute(ExpandHome(FOfn.lpstrInitialDir), Ec);
  // A folder in the initial name wins over the initial folder.
  if (size_t Slash = Initial.rfind('/'); Slash != std::string::npos) {
    fs::path Folder = Initial.substr(0, Slash + 1);
    if (Folder.is_relative()) Folder = FDir / Folder;
    if (IsDir(Folder)) {
      FDir = Folder;
      Initial = Initial.substr(Slash + 1);
    }
  }
  if (fs::path C = fs::weakly_canonical(FDir, Ec); !Ec) FDir = C;
  if (HasWildcard(Initial)) FTyped = SplitPatterns(Initial);
  FFilters = ParseFilter(FOfn.lpstrFilter);
  if (FOfn.nFilterIndex >= 1 && FOfn.nFilterIndex <= FFilters.size()) FFilter = static_cast<int>(FOfn.nFilterIndex) - 1;

  std::string Caption = FOfn.lpstrTitle ? FOfn.lpstrTitle : (FSave ? "Save As" : "Open");
  if (!Create(FOfn.hwndOwner, Caption, kClientW, kClientH)) return false;
  Add(WC_STATIC, "File &name:", SS_LEFT, 8, 8, 180, 16, stc3, false);
  FName = Add(WC_EDIT, Initial.c_str(), WS_BORDER | ES_AUTOHSCROLL, 8, 26, 180, 21, edt1, true);
  FFiles = Add(WC_LISTBOX, "", WS_BORDER | WS_VSCROLL | LBS_NOTIFY | LBS_SORT | LBS_NOINTEGRALHEIGHT | LBS_HASSTRINGS, 8, 52,
               180, 150, lst1, true);
  Add(WC_STATIC, "&Folders:", SS_LEFT, 200, 8, 140, 16, stc4, false);
  FPath = Add(WC_STATIC, "", SS_LEFT | SS_PATHELLIPSIS | SS_NOPREFIX, 200, 28, 140, 16, stc1, false);
  FFolders = Add(WC_LISTBOX, "", WS_BORDER | WS_VSCROLL | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | LBS_HASSTRINGS, 200, 52,
                 140, 150, lst2, true);
  Add(WC_STATIC, FSave ? "Save as &type:" : "Files of &type:", SS_LEFT, 8, 210, 180, 16, stc2, false);
  FTypes = Add(WC_COMBOBOX, "", CBS_DROPDOWNLIST | WS_VSCROLL, 8, 228, 180, 120, cmb1, true);
  for (const FilterItem& F : FFilters) SendMessage(FTypes, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(F.Name.c_str()));
  SendMessage(FTypes, CB_SETCURSEL, FFilters.empty() ? static_cast<WPARAM>(-1) : static_cast<WPARAM>(FFilter), 0);
  if (FFilters.empty()) EnableWindow(FTypes, FALSE);
  if (!FSave && !(FOfn.Flags & OFN_HIDEREADONLY)) {
    HWND Check = Add(WC_BUTTON, "&Read only", BS_AUTOCHECKBOX, 200, 228, 140, 20, chx1, true);
    SendMessage(Check, BM_SETCHECK, (FOfn.Flags & OFN_READONLY) ? BST_CHECKED : BST_UNCHECKED, 0);
  }
  Add(WC_BUTTON, FSave ? "&Save" : "&Open", BS_DEFPUSHBUTTON, 351, 26, 75, 23, IDOK, true);
  Add(WC_BUTTON, "Cancel", BS_PUSHBUTTON, 351, 55, 75, 23, IDCANCEL, true);
  FInitialFocus = FName;
  Refresh();
  return true;
}

void FileDialog::Refresh() {
  SetWindowText(FPath, FDir.string().c_str());
  std::vector<std::string> Files, Folders;
  std::vector<std::string> Pats = Patterns();
  std::error_code Ec;
  for (fs::directory_iterator It(FDir, fs::directory_options::skip_permission_denied, Ec), End; !Ec && It != End;
       It.increment(Ec)) {
    std::string Name = It->path().filename().string();
    if (Name.empty() || Name[0] == '.') continue;  // hidden names are chosen by typing them
    std::error_code E2;
    if (It->is_directory(E2)) {
      Folders.push_back(Name);
    } else if (std::any_of(Pats.begin(), Pats.end(), [&](const std::string& P) { return MatchPattern(Name, P); })) {
      Files.push_back(Name);
    }
  }
  std::sort(Folders.begin(), Folders.end(), [](const std::string& A, const std::string& B) {
    int C = k58::rtl::CompareNoCase(A, B);
    return C ? C < 0 : A < B;
  });
  if (FDir.has_relative_path()) Folders.insert(Folders.begin(), "..");
  SendMessage(FFiles, WM_SETREDRAW, FALSE, 0);
  SendMessage(FFiles, LB_RESETCONTENT, 0, 0);
  for (const std::string& F : Files) SendMessage(FFiles, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(F.c_str()));
  SendMessage(FFiles, WM_SETREDRAW, TRUE, 0);
  InvalidateRect(FFiles, nullptr, TRUE);
  SendMessage(FFolders, WM_SETREDRAW, FALSE, 0);
  SendMessage(FFolders, LB_RESETCONTENT, 0, 0);
  for (const std::string& F : Folders) SendMessage(FFolders, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(F.c_str()));
  SendMessage(FFolders, WM_SETREDRAW, TRUE, 0);
  InvalidateRect(FFolders, nullptr, TRUE);
}

void FileDialog::Warn(const std::string& Text) {
  MessageBox(Window(), Text.c_str(), GetWindowTextLength(Window()) ? WindowTextOf(Window()).c_str() : "Open",
             MB_OK | MB_ICONWARNING);
  FocusOn(FName);
}

bool FileDialog::MoveTo(const fs::path& Dir) {
  std::error_code Ec;
  fs::path Target = fs::weakly_canonical(Dir, Ec);
  if (Ec) Target = Dir.lexically_normal();
  if (!Readable(Target)) {
    Warn(Target.string() + "\nThe folder cannot be opened.");
    return false;
  }
  FDir = Target;
  Refresh();
  return true;
}

bool FileDialog::EnterOn(HWND Focus) {
  if (Focus != FFolders) return false;
  LRESULT Sel = SendMessage(FFolders, LB_GETCURSEL, 0, 0);
  if (Sel < 0) return false;
  std::string Name;
  int Len = static_cast<int>(SendMessage(FFolders, LB_GETTEXTLEN, static_cast<WPARAM>(Sel), 0));
  Name.assign(static_cast<size_t>(std::max(Len, 0)) + 1, '\0');
  SendMessage(FFolders, LB_GETTEXT, static_cast<WPARAM>(Sel), reinterpret_cast<LPARAM>(Name.data()));
  Name.resize(std::strlen(Name.c_str()));
  MoveTo(Name == ".." ? FDir.parent_path() : FDir / Name);
  return true;
}

void FileDialog::Command(int Id, int Code, HWND Control) {
  (void)Control;
  switch (Id) {
    case IDOK: Ok(); return;
    case IDCANCEL: End(IDCANCEL); return;
    case lst1:
      if (Code == LBN_SELCHANGE || Code == LBN_DBLCLK) {
        LRESULT Sel = SendMessage(FFiles, LB_GETCURSEL, 0, 0);
        if (Sel < 0) return;
        int Len = static_cast<int>(SendMessage(FFiles, LB_GETTEXTLEN, static_cast<WPARAM>(Sel), 0));
        std::string Name(static_cast<size_t>(std::max(Len, 0)) + 1, '\0');
        SendMessage(FFiles, LB_GETTEXT, static_cast<WPARAM>(Sel), reinterpret_cast<LPARAM>(Name.data()));
        Name.resize(std::strlen(Name.c_str()));
        SetWindowText(FName, Name.c_str());
        if (Code == LBN_DBLCLK) Ok();
      }
      return;
    case lst2:
      if (Code == LBN_DBLCLK) EnterOn(FFolders);
      return;
    case cmb1:
      if (Code == CBN_SELCHANGE) {
        LRESULT Sel = SendMessage(FTypes, CB_GETCURSEL, 0, 0);
        if (Sel >= 0 && static_cast<size_t>(Sel) < FFilters.size()) {
          FFilter = static_cast<int>(Sel);
          FTyped.clear();
          if (HasWildcard(WindowTextOf(FName))) SetWindowText(FName, "");
          Refresh();
        }
      }
      return;
    default: return;
  }
}

void FileDialog::Ok() {
  std::string Text = Trim(WindowTextOf(FName));
  if (Text.empty()) {
    MessageBeep(0);
    return;
  }
  Text = ExpandHome(Text);
  fs::path Path = Text;
  if (Path.is_relative()) Path = FDir / Path;
  Path = Path.lexically_normal();
  std::string Name = Path.filename().string();

  // A pattern filters the file list (in its folder).
  if (HasWildcard(Name)) {
    fs::path Folder = Path.parent_path();
    if (!IsDir(Folder)) {
      Warn(Folder.string() + "\nThe folder does not exist.\nCheck the path and try again.");
      return;
    }
    FTyped = SplitPatterns(Name);
    if (MoveTo(Folder)) SetWindowText(FName, Name.c_str());
    FocusOn(FName);
    return;
  }
  // A folder is opened.
  if (IsDir(Path)) {
    if (MoveTo(Path)) SetWindowText(FName, "");
    FocusOn(FName);
    return;
  }
  if (Name.empty()) {  // "folder/" of a folder that does not exist
    Warn(Text + "\nThe folder does not exist.\nCheck the path and try again.");
    return;
  }
  // A trailing dot asks for no extension; otherwise the default one is added to a name without one.
  if (Name.back() == '.') {
    while (!Name.empty() && Name.back() == '.') Name.pop_back();
    if (Name.empty()) {
      Warn(Text + "\nThe file name is not valid.");
      return;
    }
    Path.replace_filename(Name);
  } else if (ExtensionOffset(Name) == std::string::npos && FOfn.lpstrDefExt && *FOfn.lpstrDefExt) {
    fs::path WithExt = Path;
    WithExt.replace_filename(Name + "." + FOfn.lpstrDefExt);
    // Opening a file whose name has no extension is still possible when only that file exists.
    if (FSave || Exists(WithExt) || !Exists(Path)) Path = WithExt;
  }
  Name = Path.filename().string();
  if (IsDir(Path)) {
    if (MoveTo(Path)) SetWindowText(FName, "");
    FocusOn(FName);
    return;
  }
  fs::path Folder = Path.parent_path();
  if (!IsDir(Folder) && (FOfn.Flags & (OFN_PATHMUSTEXIST | OFN_FILEMUSTEXIST))) {
    Warn(Folder.string() + "\nThe folder does not exist.\nCheck the path and try again.");
    return;
  }
  bool There = Exists(Path);
  if (!FSave && (FOfn.Flags & OFN_FILEMUSTEXIST) && !There) {
    Warn(Name + "\nFile not found.\nCheck the file name and try again.");
    return;
  }
  if (FSave && (FOfn.Flags & OFN_OVERWRITEPROMPT) && There) {
    std::string Q = Name + " already exists.\nDo you want to replace it?";
    if (MessageBox(Window(), Q.c_str(), WindowTextOf(Window()).c_str(), MB_YESNO | MB_ICONWARNING) != IDYES) {
      FocusOn(FName);
      return;
    }
  }
  if (HWND Check = Item(chx1)) FReadOnly = SendMessage(Check, BM_GETCHECK, 0, 0) == BST_CHECKED;
  FChosen = Path.string();
  End(IDOK);
}

BOOL RunFileDialog(LPOPENFILENAMEA Ofn, bool Save) {
  SetError(0);
  if (!Ofn || Ofn->lStructSize != sizeof(OPENFILENAMEA)) {
    SetError(CDERR_STRUCTSIZE);
    return FALSE;
  }
  if (!Ofn->lpstrFile || Ofn->nMaxFile == 0) {
    SetError(CDERR_INITIALIZATION);
    return FALSE;
  }
  if (Ofn->hwndOwner && !IsWindow(Ofn->hwndOwner)) {
    SetError(CDERR_DIALOGFAILURE);
    return FALSE;
  }
  FileDialog D(*Ofn, Save);
  if (!D.Build()) {
    SetError(CDERR_DIALOGFAILURE);
    return FALSE;
  }
  if (D.Run(Save ? CommonDialogKind::Save : CommonDialogKind::Open) != IDOK) return FALSE;

  std::string Full = D.Chosen();
  if (Full.size() + 1 > Ofn->nMaxFile) {
    // The caller learns the size it needs from the first two bytes.
    if (Ofn->nMaxFile >= 2) {
      auto Need = static_cast<WORD>(std::min<size_t>(Full.size() + 1, 0xFFFF));
      Ofn->lpstrFile[0] = static_cast<char>(Need & 0xFF);
      Ofn->lpstrFile[1] = static_cast<char>(Need >> 8);
    }
    SetError(FNERR_BUFFERTOOSMALL);
    return FALSE;
  }
  std::memcpy(Ofn->lpstrFile, Full.c_str(), Full.size() + 1);
  size_t Slash = Full.rfind('/');
  size_t NameAt = Slash == std::string::npos ? 0 : Slash + 1;
  std::string Name = Full.substr(NameAt);
  size_t Ext = ExtensionOffset(Name);
  Ofn->nFileOffset = static_cast<WORD>(std::min<size_t>(NameAt, 0xFFFF));
  Ofn->nFileExtension = static_cast<WORD>(std::min<size_t>(Ext == std::string::npos ? Full.size() : NameAt + Ext, 0xFFFF));
  if (Ofn->lpstrFileTitle && Ofn->nMaxFileTitle > Name.size())
    std::memcpy(Ofn->lpstrFileTitle, Name.c_str(), Name.size() + 1);
  if (Ofn->lpstrFilter && *Ofn->lpstrFilter) Ofn->nFilterIndex = static_cast<DWORD>(D.FilterIndex() + 1);
  if (!Save && !(Ofn->Flags & OFN_HIDEREADONLY)) {
    if (D.ReadOnlyChecked())
      Ofn->Flags |= OFN_READONLY;
    else
      Ofn->Flags &= ~OFN_READONLY;
  }
  Ofn->Flags &= ~OFN_EXTENSIONDIFFERENT;
  if (Ofn->lpstrDefExt && *Ofn->lpstrDefExt &&
      (Ext == std::string::npos || k58::rtl::CompareNoCase(Name.substr(Ext), Ofn->lpstrDefExt) != 0))
    Ofn->Flags |= OFN_EXTENSIONDIFFERENT;
  if (!(Ofn->Flags & OFN_NOCHANGEDIR)) {
    std::error_code Ec;
    fs::current_path(fs::path(Full).parent_path(), Ec);
  }
  return TRUE;
}

}  // namespace

}  // namespace k58::builtin::commdlg

BOOL GetOpenFileName(LPOPENFILENAMEA Ofn) { return k58::builtin::commdlg::RunFileDialog(Ofn, false); }
BOOL GetSaveFileName(LPOPENFILENAMEA Ofn) { return k58::builtin::commdlg::RunFileDialog(Ofn, true); }
