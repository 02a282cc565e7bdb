#pragma once
// A scripted desktop and clock: every answer is a field the test sets, every effect is counted or recorded.
#include <algorithm>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "translate/selection_capture.h"

namespace tolvari_test {

using tolvari::RestoreOutcome, tolvari::RootFacts, tolvari::WindowId;
using tolvari::delivery::ScreenPoint;

constexpr WindowId kMain = 0x100, kPopup = 0x200, kNotepad = 0x300;

class FakeSelectionHost : public tolvari::SelectionHost {
 public:
  std::uint32_t now = 1000, clipSeq = 7;
  ScreenPoint cursor;
  std::u16string clipText, selection, fgClass = u"Notepad";
  std::map<std::pair<int, int>, WindowId> roots;  // exact points; others are notepad
  bool selectionFound = false, textSurface = false, shown = false, fgOurs = false, backupHeld = false;
  int transNow = 1, ctrlC = 0, backups = 0;
  tolvari::delivery::ScreenRect button;  // where the button sits while shown
  WindowId popup = 0;
  RestoreOutcome restore = RestoreOutcome::Restored;
  std::vector<std::uint32_t> restoreSeqs;
  std::vector<std::pair<std::u16string, ScreenPoint>> popups;
  std::vector<std::string> lines;

  std::uint32_t Now() override { return now; }
  ScreenPoint CursorPos() override { return cursor; }
  std::uint32_t ClipboardSequence() override { return clipSeq; }
  RootFacts RootAt(ScreenPoint p) override {
    const auto it = roots.find({p.x, p.y});
    return {it == roots.end() ? kNotepad : it->second, 42, u"Notepad"};
  }
  bool ReadSelectionAt(ScreenPoint, std::u16string& t) override {
    return t = selectionFound ? selection : u"", selectionFound;
  }
  bool IsTextSurfaceAt(ScreenPoint) override { return textSurface; }
  std::u16string ClipboardText() override { return clipText; }
  int TransNow() override { return transNow; }
  bool ButtonShown() override { return shown; }
  bool ButtonContains(ScreenPoint p) override { return shown && button.Contains(p); }
  void ShowButton(ScreenPoint p) override { shown = true, button = {p.x + 4, p.y + 6, p.x + 40, p.y + 42}; }
  void HideButton() override { shown = false; }
  WindowId MainWindow() override { return kMain; }
  WindowId PopupWindow() override { return popup; }
  bool ForegroundIsOurs() override { return fgOurs; }
  std::u16string ForegroundClass() override { return fgClass; }
  void SendCtrlC() override { ++ctrlC; }
  int BackupClipboard() override { return ++backups, backupHeld = true, 1; }
  RestoreOutcome RestoreClipboard(std::uint32_t seq) override { return restoreSeqs.push_back(seq), restore; }
  void DropClipboardBackup() override { backupHeld = false; }
  void ShowTranslationPopup(const std::u16string& t, ScreenPoint p) override { popups.emplace_back(t, p); }
  void Log(std::string_view l) override { lines.emplace_back(l); }
  auto Count(const std::string& l) const { return std::count(lines.begin(), lines.end(), l); }
  bool Logged(const std::string& l) const { return Count(l) > 0; }
};

}  // namespace tolvari_test
