// What every window of the program shares: its message boxes, the translation of a form from a language
// file, and the list of serial ports that can be opened.
#pragma once

#include <functional>

#include "platform/rtl/Types.h"

class TComponent;
class TStrings;

// Message box kinds and their results.
constexpr Integer mbkInformation = 1;  // information icon, OK; result 1
constexpr Integer mbkQuestion = 2;     // question icon, Yes and No; result 6 or 7
constexpr Integer mbkRetryCancel = 22; // question icon, Retry and Cancel; result 4 or 2

// The application's message box, modal to the application. Any other kind shows nothing and gives 1.
Integer ShowMessageBox(const String& Caption, const String& Text, Integer Kind);

// Replaces the routine that shows the boxes (tests answer them); an empty handler restores the
// application's message box. Returns the previous handler. The handler gets only the kinds above.
using TMessageBoxHandler = std::function<Integer(const String& Caption, const String& Text, Integer Kind)>;
TMessageBoxHandler SetMessageBoxHandler(TMessageBoxHandler Handler);

// Appends "COMn" for every port 1..256 that can be opened for reading and writing right now. Nothing
// happens when Strings is nil.
void ListComPorts(TStrings* Strings);
