// The ids of the controls in the Windows windows. Each carries the control's
// name (IDC_<name>), so that a program working the windows from outside finds
// a control by the same name as the Linux windows' object names.
#pragma once

namespace quorvex::win32 {

// TfrmHelp
inline constexpr int IDC_wbHelp = 1001;

// TfrmQuorvex (the main window): the tab control, then each tab's controls.
// A folder field's browse button is <field>Browse.
inline constexpr int IDC_pcMain = 1100;
// Adverts Options
inline constexpr int IDC_lvOptions = 1110;
inline constexpr int IDC_btnCallm = 1111;
inline constexpr int IDC_btnReplace = 1112;
inline constexpr int IDC_bvlAdverts = 1113;
inline constexpr int IDC_dePath = 1114;
inline constexpr int IDC_dePathBrowse = 1115;
inline constexpr int IDC_lbVersionCaption = 1116;
inline constexpr int IDC_lbVersion = 1117;
inline constexpr int IDC_btnApply = 1118;
// UI Options
inline constexpr int IDC_lvUI = 1130;
inline constexpr int IDC_btnCallu = 1131;
inline constexpr int IDC_lbUINote = 1132;
inline constexpr int IDC_bvlUI = 1133;
inline constexpr int IDC_deUpath = 1134;
inline constexpr int IDC_deUpathBrowse = 1135;
inline constexpr int IDC_lbUIVerCaption = 1136;
inline constexpr int IDC_lbUIVer = 1137;
inline constexpr int IDC_btnUIApply = 1138;
// Versions
inline constexpr int IDC_lvVersions = 1150;
// About Adverts
inline constexpr int IDC_lvAboutAds = 1160;
inline constexpr int IDC_imgPreview = 1161;
inline constexpr int IDC_lbDisc = 1162;
// Donate
inline constexpr int IDC_lbDonateText = 1170;
inline constexpr int IDC_imgDonate = 1171;
inline constexpr int IDC_mxLinkLabel2 = 1172;
// About
inline constexpr int IDC_lbAboutText = 1180;
inline constexpr int IDC_bvlAbout1 = 1181;
inline constexpr int IDC_lbAboutBlank = 1182;
inline constexpr int IDC_bvlAbout2 = 1183;
inline constexpr int IDC_lbAboutTos = 1184;
inline constexpr int IDC_bvlAbout3 = 1185;
inline constexpr int IDC_imgLogo = 1186;
inline constexpr int IDC_lbAuthor = 1187;
inline constexpr int IDC_lbAboutVersion = 1188;
inline constexpr int IDC_mxLinkLabel3 = 1189;
// Help
inline constexpr int IDC_lbHelpText = 1190;
inline constexpr int IDC_btnHelp = 1191;
inline constexpr int IDC_bvlHelp = 1192;
inline constexpr int IDC_lbUpdateText = 1193;
inline constexpr int IDC_btnUpdate = 1194;
inline constexpr int IDC_mxLinkLabel1 = 1195;
// Clean
inline constexpr int IDC_lvClean = 1200;
inline constexpr int IDC_btnClean = 1201;

// TfrmStatus (the status window)
inline constexpr int IDC_lbStatus = 1400;
inline constexpr int IDC_pbStatus = 1401;
inline constexpr int IDC_bvlTop = 1402;
inline constexpr int IDC_memStatus = 1403;
inline constexpr int IDC_bvlBottom = 1404;
inline constexpr int IDC_cbOpenYM = 1405;
inline constexpr int IDC_btnClose = 1406;

// TfrmUpdate (the update splash); its Label1 and Label2 share the ids of the
// download window's controls of those names (ids are a window's own).
inline constexpr int IDC_Image1 = 1450;

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

}  // namespace quorvex::win32
