// The ids of the controls in the Windows windows. Each carries the control's
// name (IDC_<name>), so that a program working the windows from outside finds
// a control by the same name as the Linux windows' object names.
#pragma once

namespace quorvex::win32 {

// TfrmHelp
inline constexpr int IDC_wbHelp = 1001;

}  // namespace quorvex::win32
