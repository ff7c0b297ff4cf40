// What the two update windows share: a fixed dialog frame, the update
// checker's font ("Tahoma", 12 pixels high at 96 DPI, as the main window
// configures the checker) and its text colour (the tooltip text's) on the
// dialog face.
#pragma once

#include "ui/win32/Window.h"

#include <string>

namespace quorvex::win32 {

TWindowDesign UpdateWindowDesign(const wchar_t* className, const wchar_t* caption, SIZE clientSize);

// Answers WM_CTLCOLORSTATIC (labels and read-only text): the tooltip text
// colour on the dialog face. False for other messages.
bool ColorUpdateText(UINT message, WPARAM wParam, LRESULT& result);

// Gives the window the owner (nullptr: none), whose window it stays above.
void SetOwner(HWND window, HWND owner);

// A control's text from UTF-8.
void SetControlText(HWND window, int id, const std::string& text);

}  // namespace quorvex::win32
