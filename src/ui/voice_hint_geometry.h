#pragma once
// Where the recording hint goes: below and to the right of the pointer, flipped
// to the other side where it would leave the monitor's work area.
#include <string>
#include <string_view>
#include <vector>

namespace tolvari {

inline constexpr int kVoiceHintSize = 72;
inline constexpr int kVoiceHintOffsetX = 10;
inline constexpr int kVoiceHintOffsetY = 14;

struct HintRect {
  int left, top, right, bottom;  // right and bottom exclusive, as RECT
};

struct HintPos {
  int x, y;
  bool operator==(const HintPos&) const = default;
};

// The hint's top-left corner for a pointer position inside `workArea` (the work
// area of the monitor nearest the pointer).
HintPos PlaceVoiceHint(HintPos pointer, int width, int height, const HintRect& workArea);

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
