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
  FileDialog(OPENFILENAMEA& Ofn, bool Save) : ofn_(Ofn), save_(Save) {}

  bool Build();
  std::string Chosen() const { return chosen_; }
  bool ReadOnlyChecked() const { return readOnly_; }
  int FilterIndex() const { return filter_; }

protected:
  void Command(int Id, int Code, HWND Control) override;
  bool EnterOn(HWND Focus) override;

private:
  void Refresh();
  bool MoveTo(const fs::path& Dir);
  void Ok();
  void Warn(const std::string& Text);
  std::vector<std::string> Patterns() const;

  OPENFILENAMEA& ofn_;
  bool save_;
  fs::path dir_;
  std::vector<FilterItem> filters_;
  int filter_ = 0;
  std::vector<std::string> typed_;  // a pattern typed into the file-name box replaces the filter's
  std::string chosen_;
  bool readOnly_ = false;
  HWND name_ = nullptr, files_ = nullptr, folders_ = nullptr, types_ = nullptr, path_ = nullptr;
};

std::vector<std::string> FileDialog::Patterns() const {
  if (!typed_.empty()) return typed_;
  if (filters_.empty()) return {"*"};
  return filters_[static_cast<size_t>(filter_)].Patterns;
}

bool FileDialog::Build() {
  std::string Initial;
  if (ofn_.lpstrFile) Initial.assign(ofn_.lpstrFile, strnlen(ofn_.lpstrFile, ofn_.nMaxFile));
  Initial = ExpandHome(Trim(Initial));
  std::error_code Ec;
  dir_ = fs::current_path(Ec);
  if (Ec) dir_ = "/";
  if (ofn_.lpstrInitialDir && *ofn_.lpstrInitialDir && IsDir(ExpandHome(ofn_.lpstrInitialDir)))
    dir_ = fs::absolute(ExpandHome(ofn_.lpstrInitialDir), Ec);
  // A folder in the initial name wins over the initial folder.
  if (size_t Slash = Initial.rfind('/'); Slash != std::string::npos) {
    fs::path Folder = Initial.substr(0, Slash + 1);
    if (Folder.is_relative()) Folder = dir_ / Folder;
    if (IsDir(Folder)) {
      dir_ = Folder;
      Initial = Initial.substr(Slash + 1);
    }
  }
  if (fs::path C = fs::weakly_canonical(dir_, Ec); !Ec) dir_ = C;
  if (HasWildcard(Initial)) typed_ = SplitPatterns(Initial);
  filters_ = ParseFilter(ofn_.lpstrFilter);
  if (ofn_.nFilterIndex >= 1 && ofn_.nFilterIndex <= filters_.size()) filter_ = static_cast<int>(ofn_.nFilterIndex) - 1;

  std::string Caption = ofn_.lpstrTitle ? ofn_.lpstrTitle : (save_ ? "Save As" : "Open");
  if (!Create(ofn_.hwndOwner, Caption, kClientW, kClientH)) return false;
  Add(WC_STATIC, "File &name:", SS_LEFT, 8, 8, 180, 16, stc3, false);
  name_ = Add(WC_EDIT, Initial.c_str(), WS_BORDER | ES_AUTOHSCROLL, 8, 26, 180, 21, edt1, true);
  files_ = Add(WC_LISTBOX, "", WS_BORDER | WS_VSCROLL | LBS_NOTIFY | LBS_SORT | LBS_NOINTEGRALHEIGHT | LBS_HASSTRINGS, 8, 52,
               180, 150, lst1, true);
  Add(WC_STATIC, "&Folders:", SS_LEFT, 200, 8, 140, 16, stc4, false);
  path_ = Add(WC_STATIC, "", SS_LEFT | SS_PATHELLIPSIS | SS_NOPREFIX, 200, 28, 140, 16, stc1, false);
  folders_ = Add(WC_LISTBOX, "", WS_BORDER | WS_VSCROLL | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | LBS_HASSTRINGS, 200, 52,
                 140, 150, lst2, true);
  Add(WC_STATIC, save_ ? "Save as &type:" : "Files of &type:", SS_LEFT, 8, 210, 180, 16, stc2, false);
  types_ = Add(WC_COMBOBOX, "", CBS_DROPDOWNLIST | WS_VSCROLL, 8, 228, 180, 120, cmb1, true);
  for (const FilterItem& F : filters_) SendMessage(types_, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(F.Name.c_str()));
  SendMessage(types_, CB_SETCURSEL, filters_.empty() ? static_cast<WPARAM>(-1) : static_cast<WPARAM>(filter_), 0);
  if (filters_.empty()) EnableWindow(types_, FALSE);
  if (!save_ && !(ofn_.Flags & OFN_HIDEREADONLY)) {
    HWND Check = Add(WC_BUTTON, "&Read only", BS_AUTOCHECKBOX, 200, 228, 140, 20, chx1, true);
    SendMessage(Check, BM_SETCHECK, (ofn_.Flags & OFN_READONLY) ? BST_CHECKED : BST_UNCHECKED, 0);
  }
  Add(WC_BUTTON, save_ ? "&Save" : "&Open", BS_DEFPUSHBUTTON, 351, 26, 75, 23, IDOK, true);
  Add(WC_BUTTON, "Cancel", BS_PUSHBUTTON, 351, 55, 75, 23, IDCANCEL, true);
  initialFocus_ = name_;
  Refresh();
  return true;
}

void FileDialog::Refresh() {
  SetWindowText(path_, dir_.string().c_str());
  std::vector<std::string> Files, Folders;
  std::vector<std::string> Pats = Patterns();
  std::error_code Ec;
  for (fs::directory_iterator It(dir_, fs::directory_options::skip_permission_denied, Ec), End; !Ec && It != End;
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
  if (dir_.has_relative_path()) Folders.insert(Folders.begin(), "..");
  SendMessage(files_, WM_SETREDRAW, FALSE, 0);
  SendMessage(files_, LB_RESETCONTENT, 0, 0);
  for (const std::string& F : Files) SendMessage(files_, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(F.c_str()));
  SendMessage(files_, WM_SETREDRAW, TRUE, 0);
  InvalidateRect(files_, nullptr, TRUE);
  SendMessage(folders_, WM_SETREDRAW, FALSE, 0);
  SendMessage(folders_, LB_RESETCONTENT, 0, 0);
  for (const std::string& F : Folders) SendMessage(folders_, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(F.c_str()));
  SendMessage(folders_, WM_SETREDRAW, TRUE, 0);
  InvalidateRect(folders_, nullptr, TRUE);
}

void FileDialog::Warn(const std::string& Text) {
  MessageBox(Window(), Text.c_str(), GetWindowTextLength(Window()) ? WindowTextOf(Window()).c_str() : "Open",
             MB_OK | MB_ICONWARNING);
  FocusOn(name_);
}

bool FileDialog::MoveTo(const fs::path& Dir) {
  std::error_code Ec;
  fs::path Target = fs::weakly_canonical(Dir, Ec);
  if (Ec) Target = Dir.lexically_normal();
  if (!Readable(Target)) {
    Warn(Target.string() + "\nThe folder cannot be opened.");
    return false;
  }
  dir_ = Target;
  Refresh();
  return true;
}

bool FileDialog::EnterOn(HWND Focus) {
  if (Focus != folders_) return false;
  LRESULT Sel = SendMessage(folders_, LB_GETCURSEL, 0, 0);
  if (Sel < 0) return false;
  std::string Name;
  int Len = static_cast<int>(SendMessage(folders_, LB_GETTEXTLEN, static_cast<WPARAM>(Sel), 0));
  Name.assign(static_cast<size_t>(std::max(Len, 0)) + 1, '\0');
  SendMessage(folders_, LB_GETTEXT, static_cast<WPARAM>(Sel), reinterpret_cast<LPARAM>(Name.data()));
  Name.resize(std::strlen(Name.c_str()));
  MoveTo(Name == ".." ? dir_.parent_path() : dir_ / Name);
  return true;
}

void FileDialog::Command(int Id, int Code, HWND Control) {
  (void)Control;
  switch (Id) {
    case IDOK: Ok(); return;
    case IDCANCEL: End(IDCANCEL); return;
    case lst1:
      if (Code == LBN_SELCHANGE || Code == LBN_DBLCLK) {
        LRESULT Sel = SendMessage(files_, LB_GETCURSEL, 0, 0);
        if (Sel < 0) return;
        int Len = static_cast<int>(SendMessage(files_, LB_GETTEXTLEN, static_cast<WPARAM>(Sel), 0));
        std::string Name(static_cast<size_t>(std::max(Len, 0)) + 1, '\0');
        SendMessage(files_, LB_GETTEXT, static_cast<WPARAM>(Sel), reinterpret_cast<LPARAM>(Name.data()));
        Name.resize(std::strlen(Name.c_str()));
        SetWindowText(name_, Name.c_str());
        if (Code == LBN_DBLCLK) Ok();
      }
      return;
    case lst2:
      if (Code == LBN_DBLCLK) EnterOn(folders_);
      return;
    case cmb1:
      if (Code == CBN_SELCHANGE) {
        LRESULT Sel = SendMessage(types_, CB_GETCURSEL, 0, 0);
        if (Sel >= 0 && static_cast<size_t>(Sel) < filters_.size()) {
          filter_ = static_cast<int>(Sel);
          typed_.clear();
          if (HasWildcard(WindowTextOf(name_))) SetWindowText(name_, "");
          Refresh();
        }
      }
      return;
    default: return;
  }
}

void FileDialog::Ok() {
  std::string Text = Trim(WindowTextOf(name_));
  if (Text.empty()) {
    MessageBeep(0);
    return;
  }
  Text = ExpandHome(Text);
  fs::path Path = Text;
  if (Path.is_relative()) Path = dir_ / Path;
  Path = Path.lexically_normal();
  std::string Name = Path.filename().string();

  // A pattern filters the file list (in its folder).
  if (HasWildcard(Name)) {
    fs::path Folder = Path.parent_path();
    if (!IsDir(Folder)) {
      Warn(Folder.string() + "\nThe folder does not exist.\nCheck the path and try again.");
      return;
    }
    typed_ = SplitPatterns(Name);
    if (MoveTo(Folder)) SetWindowText(name_, Name.c_str());
    FocusOn(name_);
    return;
  }
  // A folder is opened.
  if (IsDir(Path)) {
    if (MoveTo(Path)) SetWindowText(name_, "");
    FocusOn(name_);
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
  } else if (ExtensionOffset(Name) == std::string::npos && ofn_.lpstrDefExt && *ofn_.lpstrDefExt) {
    fs::path WithExt = Path;
    WithExt.replace_filename(Name + "." + ofn_.lpstrDefExt);
    // Opening a file whose name has no extension is still possible when only that file exists.
    if (save_ || Exists(WithExt) || !Exists(Path)) Path = WithExt;
  }
  Name = Path.filename().string();
  if (IsDir(Path)) {
    if (MoveTo(Path)) SetWindowText(name_, "");
    FocusOn(name_);
    return;
  }
  fs::path Folder = Path.parent_path();
  if (!IsDir(Folder) && (ofn_.Flags & (OFN_PATHMUSTEXIST | OFN_FILEMUSTEXIST))) {
    Warn(Folder.string() + "\nThe folder does not exist.\nCheck the path and try again.");
    return;
  }
  bool There = Exists(Path);
  if (!save_ && (ofn_.Flags & OFN_FILEMUSTEXIST) && !There) {
    Warn(Name + "\nFile not found.\nCheck the file name and try again.");
    return;
  }
  if (save_ && (ofn_.Flags & OFN_OVERWRITEPROMPT) && There) {
    std::string Q = Name + " already exists.\nDo you want to replace it?";
    if (MessageBox(Window(), Q.c_str(), WindowTextOf(Window()).c_str(), MB_YESNO | MB_ICONWARNING) != IDYES) {
      FocusOn(name_);
      return;
    }
  }
  if (HWND Check = Item(chx1)) readOnly_ = SendMessage(Check, BM_GETCHECK, 0, 0) == BST_CHECKED;
  chosen_ = Path.string();
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
