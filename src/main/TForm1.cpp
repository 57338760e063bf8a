#include "main/TForm1.h"

#include "main/ProductInfo.h"
#include "platform/FileSystem.h"
#include "platform/ProgramFolder.h"
#include "settings/Config.h"
#include "settings/PickFolder.h"

namespace korvane {
namespace {

constexpr int MainClientWidth = 512;
constexpr int MainClientHeight = 426;
constexpr int InputPanelHeight = 208;
constexpr int InsetBorderWidth = 3;
constexpr int FormBorderWidth = 4;
constexpr int LogFontHeight = 13;
constexpr int MinimumZoom = 1;
constexpr int MaximumZoom = 5;
constexpr int InitialZoom = 3;
constexpr int ZoomLabelLeft = 365;

}  // namespace

TForm1::TForm1(TApplication& app) : TForm(app, "Form1") {
  LayOut();
  WireHandlers();
}

TForm1::~TForm1() {
  WaitForWorkersAfterTermination();
}

void TForm1::LayOut() {
  SetClientSize(MainClientWidth, MainClientHeight);
  SetPosition(poScreenCenter);
  SetBorderWidth(FormBorderWidth);

  Misc1.SetVisible(false);
  Convert1.SetVisible(false);
  N2.SetVisible(false);
  Redownloadfailedtiles1.SetVisible(false);

  StatusBar1.SetAlign(alBottom);
  StatusBar1.SetHeight(DefaultStatusBarHeight);
  StatusBar1.SetSimplePanel(true);
  StatusBar1.SetSimpleText("Download StreetView images from Google Maps to your PC.");

  Panel1.SetAlign(alClient);
  Panel1.SetBevelInner(bvRaised);
  Panel2.SetAlign(alTop);
  Panel2.SetHeight(InputPanelHeight);
  Panel2.SetBevelInner(bvLowered);
  Panel2.SetBorderWidth(InsetBorderWidth);

  Label16.SetBounds(12, 20, 70, 13);
  EditTaskName.SetBounds(86, 16, 309, 21);
  Button4.SetBounds(396, 14, 89, 25);
  Label1.SetBounds(12, 57, 70, 13);
  EditLat.SetBounds(86, 56, 81, 21);
  Label3.SetBounds(203, 58, 60, 13);
  EditLong.SetBounds(264, 56, 81, 21);
  // The zoom label starts a little left of where Tahoma would put it: in the wider sans-serif
  // fonts that stand in for Tahoma on Linux its text would otherwise run under the zoom box.
  Label2.SetBounds(ZoomLabelLeft, 58, 60, 13);
  EditZoom.SetBounds(438, 56, 35, 21);
  UpDown1.SetBounds(473, 56, 15, 21);
  UpDown1.SetMin(MinimumZoom);
  UpDown1.SetMax(MaximumZoom);
  UpDown1.SetPosition(InitialZoom);
  UpDown1.SetWrap(false);
  UpDown1.SetAssociate(&EditZoom);
  Label6.SetBounds(12, 102, 70, 13);
  Edit6.SetBounds(86, 101, 350, 21);
  Button1.SetBounds(438, 99, 51, 25);
  Button1.SetHint("Click to select path");
  LabelTotalxy.SetAutoSize(false);
  LabelTotalxy.SetBounds(16, 158, 265, 13);
  BitBtn1.SetBounds(352, 146, 129, 41);
  BitBtn1.SetDefault(true);
  TFont bold = BitBtn1.Font();
  bold.Height = LogFontHeight;
  bold.Bold = true;
  BitBtn1.SetFont(bold);

  Panel3.SetVisible(false);
  Panel3.SetAlign(alBottom);
  Memo2.SetAlign(alClient);
  Memo2.SetReadOnly(true);
  TFont blue = Memo2.Font();
  blue.Height = LogFontHeight;
  blue.Color = clBlue;
  Memo2.SetFont(blue);
  Memo2.Lines.Add("[Failed tile inforamtion window]");

  Panel4.SetAlign(alClient);
  Panel4.SetBevelInner(bvLowered);
  Panel4.SetBorderWidth(InsetBorderWidth);
  Memo1.SetAlign(alClient);
  Memo1.SetReadOnly(true);
  Memo1.SetScrollBars(ssBoth);
  Memo1.SetBorderStyle(bsNone);
  Memo1.SetColor(clInfoBk);
  TFont green = Memo1.Font();
  green.Height = LogFontHeight;
  green.Color = clGreen;
  Memo1.SetFont(green);
  Memo1.SetHint("Double click to view log in notepad");
  Memo1.Lines.Add("[log window]");

  Timer1.SetEnabled(false);
}

void TForm1::WireHandlers() {
  OnShow = [this] { FormShow(); };
  OnCloseQuery = [this](bool& canClose) { CloseQuery(canClose); };
  Button1.OnClick = [this] { Button1Click(); };
  Button4.OnClick = [this] { LoadParametersfromprojectfilel1Click(); };
  BitBtn1.OnClick = [this] { BitBtn1Click(); };
  Timer1.OnTimer = [this] { Timer1Timer(); };
  Memo1.OnDblClick = [this] { Viewlogfile1Click(); };
  Exit1.OnClick = [this] { Exit1Click(); };
  Options2.OnClick = [this] {
    if (ShowOptions) ShowOptions();
  };
  Convert1.OnClick = [this] {
    if (ShowConverter) ShowConverter();
  };
  Viewlogfile1.OnClick = [this] { Viewlogfile1Click(); };
  ImagesViewer1.OnClick = [this] { ImagesViewer1Click(); };
  ImagesCombiner1.OnClick = [this] { ImagesCombiner1Click(); };
  dowloadfailedfiles1.OnClick = [this] {
    if (ShowRetry) ShowRetry();
  };
  Usermanual1.OnClick = [this] { Usermanual1Click(); };
  Homepage1.OnClick = [this] { Homepage1Click(); };
  About1.OnClick = [this] {
    if (ShowAbout) ShowAbout();
  };
}

void TForm1::FormShow() {
  const std::string programFolder = ProgramFolder();
  HomePageAddress = korvane::HomePageAddress;
  ConfigFile = ConfigFilePath();
  HelpFile = programFolder + HelpFileName;
  ContactAddress = korvane::ContactAddress;
  DefaultSavePath = ReadMainWindowDefaultPath();
  SetCaption(MainWindowCaption);
  Edit6.SetText(DefaultSavePath);
}

void TForm1::Button1Click() {
  if (auto folder = PickFolder(App().Dialogs(), "Select path to save", "")) Edit6.SetText(*folder);
}

void TForm1::Viewlogfile1Click() {
  if (!CurrentTask) {
    App().ShowMessage("No task running now." + std::string(18, ' '));
  } else if (FileExists(CurrentTask->LogFileName)) {
    App().Dialogs().ShellOpen(CurrentTask->LogFileName);
  } else {
    App().ShowMessage("No logfile now." + std::string(25, ' '));
  }
}

void TForm1::Exit1Click() {
  Close();
}

void TForm1::ImagesViewer1Click() {
  App().Dialogs().StartProgram(ProgramFolder() + ImageViewerProgram);
}

void TForm1::ImagesCombiner1Click() {
  App().Dialogs().StartProgram(ProgramFolder() + ImageCombinerProgram);
}

void TForm1::Usermanual1Click() {
  App().Dialogs().ShellOpen(HelpFile);
}

void TForm1::Homepage1Click() {
  App().Dialogs().ShellOpen(HomePageAddress);
}

}  // namespace korvane
