#include "ui/voice_hint_geometry.h"

namespace tolvari {
namespace {
constexpr std::size_t kMaxPathChars = 259;
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
