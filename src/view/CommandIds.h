#pragma once

// Command identifiers of the menus, the tool bar and the popup menus. Each
// QAction carries its id as data(), so callers and tests find actions by id.
namespace CommandId {

// framework commands
constexpr int FileNew = 57600;
constexpr int FileOpen = 57601;
constexpr int FileSave = 57603;
constexpr int FileSaveAs = 57604;
constexpr int PrintSetup = 57606;
constexpr int Print = 57607;
constexpr int PrintPreview = 57609;
constexpr int About = 57664;
constexpr int Exit = 57665;
constexpr int StatusBar = 59393;
// The recent-file submenu of the file menu; its entries are made as it opens.
constexpr int RecentFileMenu = 57616;

// canvas and view
constexpr int TrimWindow = 32771;
constexpr int ZoomIn = 32772;
constexpr int ZoomOriginal = 32773;
constexpr int Redraw = 32774;
constexpr int ZoomOut = 32776;
constexpr int ZoomFit = 32778;
constexpr int HorzLines = 32779;
constexpr int VertLines = 32780;
constexpr int LoadPicture = 32781;
constexpr int NudgeUp = 32782;
constexpr int NudgeDown = 32783;
constexpr int NudgeRight = 32784;
constexpr int NudgeLeft = 32785;
constexpr int RotateLeftStep = 32786;
constexpr int RotateRightStep = 32787;
constexpr int RotationMenu = 32788;
constexpr int WholeDrawingMenu = 32789;
constexpr int WholeDrawing = 32790;
constexpr int NextPicture = 32791;
constexpr int Transparent = 32792;
constexpr int SaveJoined = 32793;
constexpr int DeletePicture = 32794;
constexpr int LayerUp = 32795;
constexpr int LayerDown = 32796;
constexpr int WebSite = 32798;
constexpr int FilterInvert = 32799;
constexpr int FilterLighten = 32800;
constexpr int CopyPicture = 32801;
constexpr int FilterBrighten = 32802;
constexpr int TrimLineMenu = 32803;
constexpr int TrimLineUp = 32804;
constexpr int TrimLineDown = 32805;
constexpr int TrimLineLeft = 32806;
constexpr int TrimLineRight = 32807;
constexpr int ClearTrimLine = 32808;
constexpr int TrimByLine = 32809;
constexpr int FilterNoBlue = 32810;
constexpr int FilterUndo = 32811;
constexpr int FilterGrey = 32812;
constexpr int PrintJobGrey = 32813;
constexpr int PrintJobColour = 32814;
constexpr int FilterContrast = 32815;
constexpr int BackgroundColour = 32816;
constexpr int BrushEdit = 32817;
constexpr int RotateNone = 32818;
constexpr int RotateRight90 = 32819;
constexpr int RotateRight180 = 32820;
constexpr int RotateLeft90 = 32821;
constexpr int RotateLeft180 = 32822;
constexpr int RestoreOutput = 32823;
constexpr int SaveOutputAs = 32824;
constexpr int OutputMode = 32825;
constexpr int DesktopShortcut = 32826;
constexpr int RulerMenu = 32827;
constexpr int HorzRulerTable = 32828;
constexpr int VertRulerTable = 32829;
constexpr int RulerZoomIn = 32830;
constexpr int RulerZoomOut = 32831;
constexpr int RulerZoomReset = 32832;
constexpr int LocalManual = 32833;
constexpr int PrintJobCad1 = 32834;
constexpr int OnlineManual = 32835;
constexpr int ManualDownload = 32836;
constexpr int Camera = 32837;
constexpr int PrintJobCad2 = 32838;
constexpr int PlayMusic = 32839;
constexpr int MusicLoop = 32840;
constexpr int EditUndo = 32841;
constexpr int EditRedo = 32842;
constexpr int ExportPdf = 32843;
constexpr int TiledPrint = 32844;
constexpr int ScreenCapture = 32845;
constexpr int AutoAlignCurrent = 32846;
constexpr int AutoJoinAll = 32847;

} // namespace CommandId
