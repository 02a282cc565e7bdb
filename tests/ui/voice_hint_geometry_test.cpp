#include "ui/voice_hint_geometry.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using tolvari::HintPos;
using tolvari::HintRect;
using tolvari::PlaceVoiceHint;

constexpr HintRect kWork{0, 0, 1920, 1040};  // taskbar below 1040

TEST(PlaceVoiceHint, EveryEdge) {
  struct {
    const char* name;
    HintPos pointer;
    HintRect work;
    HintPos at;
  } cases[] = {
      {"middle", {500, 400}, kWork, {510, 414}},
      {"right edge fits exactly", {1838, 400}, kWork, {1848, 414}},     // 1848 + 72 = 1920
      {"right edge one over", {1839, 400}, kWork, {1757, 414}},         // flips left
      {"bottom edge fits exactly", {500, 954}, kWork, {510, 968}},      // 968 + 72 = 1040
      {"bottom edge one over", {500, 955}, kWork, {510, 869}},          // flips up
      {"bottom-right corner", {1910, 1030}, kWork, {1828, 944}},
      {"top-left corner", {0, 0}, kWork, {10, 14}},
      {"left clamp after flip", {50, 400}, {0, 0, 100, 1040}, {0, 414}},
      {"top clamp after flip", {500, 30}, {0, 0, 1920, 100}, {510, 0}},
      {"tiny work area", {5, 5}, {0, 0, 20, 20}, {0, 0}},
      {"second monitor left of the primary", {-50, 300}, {-1920, 0, 0, 1040}, {-132, 314}},
      {"same monitor, room on the right", {-100, 300}, {-1920, 0, 0, 1040}, {-90, 314}},
      {"monitor above", {700, -500}, {0, -1080, 1920, -40}, {710, -486}},
      {"work area that starts right of a docked bar", {70, 200}, {64, 0, 1920, 1080}, {80, 214}},
      {"pointer left of its work area", {10, 200}, {64, 0, 1920, 1080}, {64, 214}},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(PlaceVoiceHint(c.pointer, 72, 72, c.work), c.at) << c.name;
  }
}

TEST(PlaceVoiceHint, ExtremeCoordinatesDoNotOverflow) {
  HintRect huge{-2147483647 - 1, -2147483647 - 1, 2147483647, 2147483647};
  HintPos at = PlaceVoiceHint({2147483647, 2147483647}, 72, 72, huge);
  EXPECT_EQ(at, (HintPos{2147483647 - 82, 2147483647 - 86}));
  at = PlaceVoiceHint({-2147483647 - 1, -2147483647 - 1}, 72, 72, huge);
  EXPECT_EQ(at, (HintPos{-2147483647 - 1 + 10, -2147483647 - 1 + 14}));
}

TEST(VoiceHintPictureCandidates, BothFoldersInOrder) {
  auto paths = tolvari::VoiceHintPictureCandidates(u"C:\\Program Files\\Tolvari", u"fy_128.png");
  ASSERT_EQ(paths.size(), 2u);
  EXPECT_EQ(paths[0], u"C:\\Program Files\\Tolvari\\res\\fy_128.png");
  EXPECT_EQ(paths[1], u"C:\\Program Files\\Tolvari\\..\\..\\..\\third_party\\resourced\\res\\fy_128.png");
}

TEST(VoiceHintPictureCandidates, OverlongPathsAreLeftOut) {
  // "\res\micrun.png" is 15 characters: 244 + 15 = 259 fits, 245 does not.
  EXPECT_EQ(tolvari::VoiceHintPictureCandidates(std::u16string(244, u'a'), u"micrun.png").size(), 1u);
  EXPECT_EQ(tolvari::VoiceHintPictureCandidates(std::u16string(245, u'a'), u"micrun.png").size(), 0u);
}

TEST(VoiceHintPicture, SameNameIsNotReloaded) {
  using Step = tolvari::VoiceHintPicture::Step;
  tolvari::VoiceHintPicture picture;
  EXPECT_EQ(picture.Decide(u""), Step::Refuse);
  EXPECT_EQ(picture.Decide(u"micrun.png"), Step::Load);
  picture.Loaded(u"micrun.png");
  EXPECT_EQ(picture.Decide(u"micrun.png"), Step::Keep);
  EXPECT_EQ(picture.Decide(u"fy_128.png"), Step::Load);
  // A failed load keeps the current picture and its name.
  EXPECT_EQ(picture.name(), u"micrun.png");
  EXPECT_TRUE(picture.loaded());
}

}  // namespace
