// Comparison and printing of rectangles, points and sizes for test assertions, so EXPECT_EQ on them
// shows "(left,top,right,bottom)" instead of bytes.
#pragma once

#include <ostream>

#include "platform/rtl/WinTypes.h"

inline bool operator==(const RECT& A, const RECT& B) {
  return A.left == B.left && A.top == B.top && A.right == B.right && A.bottom == B.bottom;
}
inline bool operator==(const POINT& A, const POINT& B) { return A.x == B.x && A.y == B.y; }
inline bool operator==(const SIZE& A, const SIZE& B) { return A.cx == B.cx && A.cy == B.cy; }

inline std::ostream& operator<<(std::ostream& Out, const RECT& R) {
  return Out << "(" << R.left << "," << R.top << "," << R.right << "," << R.bottom << ")";
}
inline std::ostream& operator<<(std::ostream& Out, const POINT& P) { return Out << "(" << P.x << "," << P.y << ")"; }
inline std::ostream& operator<<(std::ostream& Out, const SIZE& S) { return Out << S.cx << "x" << S.cy; }

inline void PrintTo(const RECT& R, std::ostream* Out) { *Out << R; }
inline void PrintTo(const POINT& P, std::ostream* Out) { *Out << P; }
inline void PrintTo(const SIZE& S, std::ostream* Out) { *Out << S; }

namespace k58test {

// The rectangle of a place and size, as bounds are usually given.
inline RECT Bounds(LONG Left, LONG Top, LONG Width, LONG Height) {
  return RECT{Left, Top, Left + Width, Top + Height};
}

}  // namespace k58test
