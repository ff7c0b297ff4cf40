// The application title: the caption of the application's message boxes and
// of its error report, the main window's caption, and the name that the
// single-instance guard claims. Both programs set it before any window.
#pragma once

namespace quorvex {

inline constexpr char kApplicationTitle[] = "Quorvex";

}  // namespace quorvex
