// The rectangle and point helpers of the Win32-shaped user interface layer. Rectangles are
// half-open: a point on the right or bottom edge is outside; a rectangle with right <= left or
// bottom <= top is empty.
#pragma once

#include <algorithm>

#include "platform/rtl/WinTypes.h"

inline BOOL SetRect(RECT* Rect, int Left, int Top, int Right, int Bottom) {
  if (!Rect) return FALSE;
  *Rect = RECT{Left, Top, Right, Bottom};
  return TRUE;
}

inline BOOL SetRectEmpty(RECT* Rect) { return SetRect(Rect, 0, 0, 0, 0); }

inline BOOL CopyRect(RECT* Dest, const RECT* Source) {
  if (!Dest || !Source) return FALSE;
  *Dest = *Source;
  return TRUE;
}

inline BOOL IsRectEmpty(const RECT* Rect) {
  return !Rect || Rect->right <= Rect->left || Rect->bottom <= Rect->top;
}

inline BOOL EqualRect(const RECT* A, const RECT* B) {
  return A && B && A->left == B->left && A->top == B->top && A->right == B->right &&
         A->bottom == B->bottom;
}

inline BOOL PtInRect(const RECT* Rect, POINT Point) {
  return Rect && Point.x >= Rect->left && Point.x < Rect->right && Point.y >= Rect->top &&
         Point.y < Rect->bottom;
}

inline BOOL InflateRect(RECT* Rect, int Dx, int Dy) {
  if (!Rect) return FALSE;
  Rect->left -= Dx;
  Rect->right += Dx;
  Rect->top -= Dy;
  Rect->bottom += Dy;
  return TRUE;
}

inline BOOL OffsetRect(RECT* Rect, int Dx, int Dy) {
  if (!Rect) return FALSE;
  Rect->left += Dx;
  Rect->right += Dx;
  Rect->top += Dy;
  Rect->bottom += Dy;
  return TRUE;
}

// The common part of A and B; an empty (all-zero) rectangle and FALSE when they do not overlap.
inline BOOL IntersectRect(RECT* Dest, const RECT* A, const RECT* B) {
  if (!Dest || !A || !B) return FALSE;
  RECT r{std::max(A->left, B->left), std::max(A->top, B->top), std::min(A->right, B->right),
         std::min(A->bottom, B->bottom)};
  if (IsRectEmpty(&r)) {
    SetRectEmpty(Dest);
    return FALSE;
  }
  *Dest = r;
  return TRUE;
}

// The smallest rectangle holding A and B; an empty rectangle counts as nothing.
inline BOOL UnionRect(RECT* Dest, const RECT* A, const RECT* B) {
  if (!Dest || !A || !B) return FALSE;
  const bool emptyA = IsRectEmpty(A), emptyB = IsRectEmpty(B);
  if (emptyA && emptyB) {
    SetRectEmpty(Dest);
    return FALSE;
  }
  if (emptyA) {
    *Dest = *B;
  } else if (emptyB) {
    *Dest = *A;
  } else {
    *Dest = RECT{std::min(A->left, B->left), std::min(A->top, B->top), std::max(A->right, B->right),
                 std::max(A->bottom, B->bottom)};
  }
  return TRUE;
}

// A less B, when B cuts a whole side off A; otherwise A unchanged. FALSE when nothing is left.
inline BOOL SubtractRect(RECT* Dest, const RECT* A, const RECT* B) {
  if (!Dest || !A || !B) return FALSE;
  RECT r = *A;
  RECT cut;
  if (IntersectRect(&cut, A, B)) {
    const bool fullWidth = cut.left <= A->left && cut.right >= A->right;
    const bool fullHeight = cut.top <= A->top && cut.bottom >= A->bottom;
    if (fullWidth && fullHeight) {
      SetRectEmpty(&r);
    } else if (fullWidth && cut.top <= A->top) {
      r.top = cut.bottom;
    } else if (fullWidth && cut.bottom >= A->bottom) {
      r.bottom = cut.top;
    } else if (fullHeight && cut.left <= A->left) {
      r.left = cut.right;
    } else if (fullHeight && cut.right >= A->right) {
      r.right = cut.left;
    }
  }
  *Dest = r;
  return !IsRectEmpty(&r);
}

// The same rules as values, for code that computes rectangles (the window layer, GDI and the built-in
// controls take them from here).
namespace k58::gdi {

inline int Width(const RECT& R) { return R.right - R.left; }
inline int Height(const RECT& R) { return R.bottom - R.top; }
inline bool RectEmpty(const RECT& R) { return R.right <= R.left || R.bottom <= R.top; }
inline bool SameRect(const RECT& A, const RECT& B) {
  return A.left == B.left && A.top == B.top && A.right == B.right && A.bottom == B.bottom;
}
inline bool InRect(const RECT& R, POINT P) { return P.x >= R.left && P.x < R.right && P.y >= R.top && P.y < R.bottom; }
inline RECT Offset(RECT R, int Dx, int Dy) { return RECT{R.left + Dx, R.top + Dy, R.right + Dx, R.bottom + Dy}; }
// The common part of A and B; an all-zero rectangle when they do not overlap.
inline RECT Intersect(const RECT& A, const RECT& B) {
  RECT R{std::max(A.left, B.left), std::max(A.top, B.top), std::min(A.right, B.right), std::min(A.bottom, B.bottom)};
  return RectEmpty(R) ? RECT{} : R;
}

}  // namespace k58::gdi
