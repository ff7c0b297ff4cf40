// The ids of the controls in the Windows windows. Each carries the control's
// name (IDC_<name>), so that a program working the windows from outside finds
// a control by the same name as the Linux windows' object names.
#pragma once

namespace quorvex::win32 {

// TfrmHelp
inline constexpr int IDC_wbHelp = 1001;

// The update windows: TVelkAppUpdateNotifyBox
inline constexpr int IDC_ReadmeMemo = 1601;
inline constexpr int IDC_DownloadButton = 1602;
inline constexpr int IDC_OpenWebPageButton = 1603;
inline constexpr int IDC_OKButton = 1604;
// TVelkAppUpdateDownloadBox
inline constexpr int IDC_Label1 = 1610;
inline constexpr int IDC_FileLabel = 1611;
inline constexpr int IDC_Label2 = 1612;
inline constexpr int IDC_SpeedLabel = 1613;
inline constexpr int IDC_Label4 = 1614;
inline constexpr int IDC_StatusLabel = 1615;
inline constexpr int IDC_Label5 = 1616;
inline constexpr int IDC_ElapsedTimeLabel = 1617;
inline constexpr int IDC_Label6 = 1618;
inline constexpr int IDC_RemainingTimeLabel = 1619;
inline constexpr int IDC_Label9 = 1620;
inline constexpr int IDC_TransferLabel = 1621;
inline constexpr int IDC_ProgressBar1 = 1622;
inline constexpr int IDC_CancelButton = 1623;

// The colour rows (TColorRow), in the main window and in the editor alike
inline constexpr int IDC_shColor = 1500;
inline constexpr int IDC_lbColor = 1501;
inline constexpr int IDC_shDrop = 1502;
inline constexpr int IDC_imgDrop = 1503;  // the main window's pipette
inline constexpr int IDC_lbDrop = 1504;

// TfrmEdit
inline constexpr int IDC_imgDropp = 1550;  // the editor's pipette
inline constexpr int IDC_gbPreview = 1551;
inline constexpr int IDC_wbPreview = 1552;
inline constexpr int IDC_btnSave = 1553;

// The pictures (TPictureBox)
inline constexpr int IDC_imgPreview = 1700;
inline constexpr int IDC_imgDonate = 1701;
inline constexpr int IDC_imgLogo = 1702;

}  // namespace quorvex::win32
