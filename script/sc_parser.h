// TscParser, the lexical scanner of the script engine: the source text, a current position and readers
// that each try to read one token of a kind there, steered by language settings.
//
// Positions are 1-based byte indexes into the text (UTF-8), and columns count bytes, so a position maps
// back to exactly the byte it came from. Position Size() + 1 is the end. A reader that finds nothing
// returns an empty string (or false) and leaves the position where the token would have begun: spaces and
// comments skipped before it stay skipped. There is no lookahead; callers move the position back
// (SetCursor) when what they tried does not fit.
#pragma once

#include <bitset>
#include <memory>
#include <unordered_set>
#include <vector>

#include "platform/classes/StringList.h"
#include "platform/rtl/SysUtils.h"

class TscParser : public TObject {
  K58_CLASS(TscParser, TObject)

  TscParser();
  ~TscParser() override;

  // The default settings: "//" line comments, "{,}" and "(*,*)" block comments, "$" hexadecimal
  // prefix, identifiers of digits, letters and "_", no continuation character, line ends as spaces, "'"
  // as string quote, and no keywords. The second line comment opener and case sensitivity are kept.
  void ResetSettings();

  // Takes a text and goes to its start.
  void LoadText(const String& Text);
  const String& Text() const { return text_; }
  Integer Size() const { return size_; }
  // The position of the next byte to read; setting it (kept within 1..Size() + 1) also sets TokenStart.
  Integer Cursor() const { return position_; }
  void SetCursor(Integer Value);
  // Where the current token begins: the position after the last SkipBlanks.
  Integer TokenStart() const { return tokenStart_; }

  // ---- Settings ----
  // Line comment openers; an empty one never matches. An opener that ends in an identifier character
  // (a word such as "rem") opens a comment only as a whole word, compared ignoring case unless the
  // language is case sensitive.
  const String& CommentLine1() const { return commentLine1_; }
  void SetCommentLine1(const String& Value);
  const String& CommentLine2() const { return commentLine2_; }
  void SetCommentLine2(const String& Value);
  // Block comment delimiters written "open,close".
  const String& BlockComment1() const { return blockComment1_; }
  void SetBlockComment1(const String& Value);
  const String& BlockComment2() const { return blockComment2_; }
  void SetBlockComment2(const String& Value);
  const String& HexSequence() const { return hexSequence_; }
  void SetHexSequence(const String& Value);
  // Line continuation character (its first character counts): it joins a line to the next.
  const String& SkipChar() const { return skipChar_; }
  void SetSkipChar(const String& Value);
  // True: line ends are spaces. False: carriage return ends a line (a lone line feed stays a space).
  bool SkipEOL() const { return skipEOL_; }
  void SetSkipEOL(bool Value);
  // The first character quotes strings; a double quote also turns on backslash escapes.
  const String& StringQuotes() const { return stringQuotes_; }
  void SetStringQuotes(const String& Value);
  bool CaseSensitive() const { return caseSensitive_; }
  void SetCaseSensitive(bool Value);
  // Spaces are skipped before every token; always true.
  bool SkipSpaces() const { return skipSpaces_; }
  // The identifier characters become exactly the bytes of Chars.
  void SetWordChars(const String& Chars);
  // Adds the bytes First..Last to the identifier characters.
  void AddWordChars(Byte First, Byte Last);
  bool IsWordChar(char C) const { return wordChars_[static_cast<Byte>(C)]; }
  // The reserved words, sorted, looked up ignoring case unless the language is case sensitive.
  TStringList* Keywords() const { return keywords_.get(); }

  // ---- Readers ----
  // Skips spaces, line continuations and comments; sets TokenStart.
  void SkipBlanks();
  // A line end (carriage returns and line feeds, as many as follow) after the blanks.
  bool ReadLineEnd();
  // One punctuation character at the position (no blanks skipped), or empty.
  String ReadPunct();
  // An identifier-shaped word, keywords included.
  String ReadWord();
  // Like ReadWord, but empty (with the word consumed) when the word is a keyword.
  String ReadIdentifier();
  bool IsReserved(const String& Word) const;
  // A number: decimal with optional fraction and exponent, or hexadecimal after the prefix, which comes
  // out as "$". No sign.
  String ReadNumber();
  // A string constant as "'" + its characters + "'" (quotes inside left as they are), joined from quoted
  // parts and "#<code>" parts. "#<code>" and "\x<hex>" give that code point written as UTF-8 ("\x" keeps
  // the low 8 bits); a code beyond 32 bits raises EConvertError.
  String ReadStringConst();
  // The raw text from the position to the bracket closing an already opened "[" or "<" (not consumed),
  // or to the end of the text; brackets inside quotes do not count.
  String ReadBracketedText();

  // ---- Positions ----
  // "line:col" of the cursor, or of Position.
  String LineColText() const { return LineColText(position_); }
  String LineColText(Integer Position) const;
  // The position of Column in Line; -1 for a line outside 1..number of lines.
  Integer LineColToPosition(Integer Column, Integer Line) const;

 private:
  char At(Integer Position) const { return text_.data()[Position - 1]; }
  bool StartsWith(Integer Position, const String& S) const;
  bool AtLineComment(const String& Opener) const;
  bool ReadIntegerPart(bool& Hex);
  bool ReadQuotedPart(String& Content);
  bool ReadCharCode(String& Content);
  void SettingsChanged() { skipFrom_ = 0; }

  String blockComment1_, blockOpen1_, blockClose1_;
  String blockComment2_, blockOpen2_, blockClose2_;
  String commentLine1_;
  String commentLine2_;
  String hexSequence_;
  std::bitset<256> wordChars_;
  std::unique_ptr<TStringList> keywords_;
  mutable std::unordered_set<String> exactKeywords_, foldedKeywords_;
  mutable bool keywordsChanged_ = true;
  Integer tokenStart_ = 1;
  Integer position_ = 1;
  Integer size_ = 0;
  String skipChar_;
  bool skipEOL_ = true;
  bool skipSpaces_ = true;
  String stringQuotes_;
  String text_;
  std::vector<Integer> lineStarts_{0};
  bool caseSensitive_ = false;
  // The last SkipBlanks, remembered: backtracking reads many tokens from the same place.
  Integer skipFrom_ = 0;
  Integer skipTo_ = 0;
};
