// What every window of the program shares: its message boxes, the translation of a form from a language
// file, and the list of serial ports that can be opened.
#pragma once

#include "platform/classes/Component.h"
#include "platform/rtl/Types.h"

class TComponent;
class TCustomIniFile;
class TStrings;

// Message box kinds and their results.
constexpr Integer mbkInformation = 1;   // information icon, OK; result 1
constexpr Integer mbkQuestion = 2;      // question icon, Yes and No; result 6 or 7
constexpr Integer mbkRetryCancel = 22;  // question icon, Retry and Cancel; result 4 or 2
constexpr Integer mbkQuestionDefaultNo = 23;  // as mbkQuestion, with No as the default button
constexpr Integer mbrYes = 6;
constexpr Integer mbrNo = 7;

// The application's message box, modal to the application. Any other kind shows nothing and gives 1.
Integer ShowMessageBox(const String& Caption, const String& Text, Integer Kind);

// Rewrites the texts of Form's components from the language file AppDir + Name + ".Ini", section
// Form's name: the form caption, then per component in component order the first rule that matches
// its class (labels, menu items, buttons, tool buttons with their hints, grid titles of row 1 unless
// the grid's Tag is -2, combo box items when TranslateLists (only item 0 with Tag -3, none with -2),
// check boxes, radio buttons, group boxes, tab sheets, and list box items unless Tag is -2). A missing
// file, section or key leaves the text as it is; a combo box keeps its selected index. Grid titles
// are written into the cell records, without validation or events.
void TranslateForm(TComponent* Form, const String& Name, bool TranslateLists);
// The same from an open language file. Every text is read through Ini.ReadString with the shown text as
// the default, so a file that records its reads learns which keys a form's translation uses.
void TranslateForm(TComponent* Form, TCustomIniFile& Ini, bool TranslateLists);

// Appends "COMn" for every port 1..256 that can be opened for reading and writing right now. Nothing
// happens when Strings is nil.
void ListComPorts(TStrings* Strings);

// The component Name owned by Owner, as a T; raises EComponentError when it is missing and
// EInvalidCast when it is of another class. For components found by a computed name; a form's other
// components reach it through its published fields.
TComponent* NeedComponent(TComponent* Owner, const String& Name);
template <class T>
T* ComponentAs(TComponent* Owner, const String& Name) {
  return ObjectAs<T>(NeedComponent(Owner, Name));
}
