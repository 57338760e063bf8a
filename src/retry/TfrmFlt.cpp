#include "retry/TfrmFlt.h"

#include "net/BrowserHeaders.h"
#include "net/FailureTexts.h"
#include "platform/Exception.h"
#include "platform/FileSystem.h"
#include "platform/ScopedFlag.h"
#include "platform/TextFile.h"
#include "task/FailedList.h"

namespace korvane {

namespace {

constexpr const char* NoRecordsLine = "No failed files records.";
constexpr const char* StartLine = "Start...";
constexpr const char* EndLine = "Download End.";
constexpr const char* NotFoundSuffix = ":Error: the image is not found on server.";
constexpr const char* OkSuffix = " ->OK";

// GET address into a fresh body, repeating after connection resets (each repeat with an empty
// buffer, so what a reset attempt received never reaches the file). Returns the error message
// of the failure that stands, or nothing on success.
std::optional<std::string> GetRepeatingResets(TIdHTTP& client, const std::string& address,
                                              std::string& body) {
  for (int repeats = 0;; ++repeats) {
    body.clear();
    try {
      client.Get(address, body);
      return std::nullopt;
    } catch (const Exception& error) {
      if (MessageContains(error.Message(), FailureText::ConnectionReset) &&
          repeats < MaxResetRepeats) {
        continue;
      }
      body.clear();
      return error.Message();
    }
  }
}

}  // namespace

TfrmFlt::TfrmFlt(TApplication& app) : TForm(app, "frmFlt") {
  SetCaption("Re-Download failed files");
  SetBorderStyle(bsDialog);
  SetPosition(poScreenCenter);
  SetClientSize(703, 453);

  Panel1.SetBounds(0, 0, 703, 57);
  Panel1.SetAlign(alTop);
  Button1.SetBounds(16, 16, 201, 25);
  Panel2.SetAlign(alClient);
  Memo1.SetAlign(alClient);
  Memo1.SetReadOnly(true);
  Memo1.SetScrollBars(ssBoth);

  OnShow = [this] { FormShow(); };
  Button1.OnClick = [this] { Button1Click(); };
}

void TfrmFlt::FormShow() {
  Memo1.Lines.Clear();
}

void TfrmFlt::Button1Click() {
  if (running_) return;
  ScopedFlag running(running_);
  lastRunOutcome_ = TFltRunOutcome::Failed;  // until the run says otherwise

  OpenDialog1.Title = "Open ftl file:";
  OpenDialog1.Filter = "Projects(*.ftl)|*.ftl";
  OpenDialog1.FilterIndex = 1;
  if (!OpenDialog1.Execute()) {
    lastRunOutcome_ = TFltRunOutcome::Cancelled;
    return;
  }
  lastRunOutcome_ = Run(OpenDialog1.FileName);
}

TFltRunOutcome TfrmFlt::Run(const std::string& listPath) {
  Memo1.Lines.Clear();
  TIdHTTP client;
  SetBrowserHeaders(client);
  const TStringList lines = LoadLines(listPath);
  if (lines.empty()) {
    AddLine(NoRecordsLine);
    return TFltRunOutcome::NoRecords;
  }
  AddLine(StartLine);
  App().ProcessMessages();
  for (const std::string& line : lines) {
    if (!FetchLine(client, line)) break;
  }
  AddLine(EndLine);
  return TFltRunOutcome::Ended;
}

bool TfrmFlt::FetchLine(TIdHTTP& client, const std::string& line) {
  const FailedTile tile = SplitFailedLine(line);
  std::string body;
  if (std::optional<std::string> failure = GetRepeatingResets(client, tile.Address, body)) {
    AddLine(*failure + "->" + tile.Address);
    if (MessageContains(*failure, FailureText::Redirect) ||
        MessageContains(*failure, FailureText::Forbidden)) {
      AddLine(BannedLine);
      return false;
    }
    if (MessageContains(*failure, FailureText::NotFound)) AddLine(tile.Address + NotFoundSuffix);
    return true;
  }
  // A line without "|" names no file; it cannot be created (and the current folder is no
  // place to try).
  if (tile.File.empty()) throw EFCreateError::ForPath(tile.File);
  WriteFileAtomically(tile.File, body);
  AddLine(tile.File + ":" + tile.Address + OkSuffix);
  return true;
}

void TfrmFlt::AddLine(std::string line) {
  Memo1.Lines.Add(line);
  if (OnLine) OnLine(line);
}

}  // namespace korvane
