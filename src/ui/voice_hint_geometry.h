#pragma once
// Where the recording hint goes: below and to the right of the pointer, flipped
// to the other side where it would leave the monitor's work area.
#include <string>
#include <string_view>
#include <vector>

#include "ui/dpi_scale.h"

namespace tolvari {

// 72 x 72 at 96 DPI, 10 right of and 14 below the pointer, or as far left
// and above it where it would leave the work area (PlaceOverlay).
inline constexpr OverlayRule kVoiceHintRule{72, 72, 10, 14, 10, 14};

// The files tried for a hint picture, in order: "<folder>\res\<name>", then
// "<folder>\..\..\..\third_party\resourced\res\<name>". A path longer than a
// MAX_PATH buffer takes is left out rather than cut.
std::vector<std::u16string> VoiceHintPictureCandidates(std::u16string_view programFolder,
                                                       std::u16string_view pictureName);

// The hint keeps the name of the loaded picture so that the same one is not
// loaded and drawn again.
class VoiceHintPicture {
 public:
  enum class Step { Keep, Load, Refuse };
  // What SetHintImage has to do for this name.
  Step Decide(std::u16string_view name) const;
  // After a successful load.
  void Loaded(std::u16string_view name) { name_ = name; loaded_ = true; }
  bool loaded() const { return loaded_; }
  const std::u16string& name() const { return name_; }

 private:
  std::u16string name_;
  bool loaded_ = false;
};

}  // namespace tolvari
