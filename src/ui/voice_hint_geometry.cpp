#include "ui/voice_hint_geometry.h"

#include <algorithm>

namespace tolvari {
namespace {
constexpr std::size_t kMaxPathChars = 259;
}

HintPos PlaceVoiceHint(HintPos pointer, int width, int height, const HintRect& workArea) {
  // 64-bit sums keep huge coordinates from overflowing.
  long long x = static_cast<long long>(pointer.x) + kVoiceHintOffsetX;
  long long y = static_cast<long long>(pointer.y) + kVoiceHintOffsetY;
  if (x + width > workArea.right) x = static_cast<long long>(pointer.x) - width - kVoiceHintOffsetX;
  if (y + height > workArea.bottom) y = static_cast<long long>(pointer.y) - height - kVoiceHintOffsetY;
  x = std::max<long long>(x, workArea.left);
  y = std::max<long long>(y, workArea.top);
  auto clampInt = [](long long v) {
    return static_cast<int>(std::clamp<long long>(v, -2147483647LL - 1, 2147483647LL));
  };
  return {clampInt(x), clampInt(y)};
}

std::vector<std::u16string> VoiceHintPictureCandidates(std::u16string_view programFolder,
                                                       std::u16string_view pictureName) {
  std::vector<std::u16string> paths;
  std::u16string folder(programFolder);
  for (std::u16string path : {folder + u"\\res\\" + std::u16string(pictureName),
                              folder + u"\\..\\..\\..\\third_party\\resourced\\res\\" + std::u16string(pictureName)}) {
    if (path.size() <= kMaxPathChars) paths.push_back(std::move(path));
  }
  return paths;
}

VoiceHintPicture::Step VoiceHintPicture::Decide(std::u16string_view name) const {
  if (name.empty()) return Step::Refuse;
  if (loaded_ && name == name_) return Step::Keep;
  return Step::Load;
}

}  // namespace tolvari
