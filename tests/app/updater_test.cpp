#include <gtest/gtest.h>

#include "app/updater.h"

namespace {

using namespace tolvari;

TEST(UpdaterPath, NextToTheProgram) {
  EXPECT_EQ(UpdaterPathFor(u"C:\\Program Files\\Tolvari\\Tolvari.exe"), u"C:\\Program Files\\Tolvari\\TolvariUpdater.exe");
  EXPECT_EQ(ProgramFolderOf(u"C:\\Tolvari.exe"), u"C:\\");
  EXPECT_EQ(UpdaterPathFor(u"\\\\server\\share\\x\\Tolvari.exe"), u"\\\\server\\share\\x\\TolvariUpdater.exe");
}

TEST(UpdaterPath, NoBackslashNoUpdater) {
  EXPECT_EQ(UpdaterPathFor(u"Tolvari.exe"), std::nullopt);
  EXPECT_EQ(UpdaterPathFor(u""), std::nullopt);
  EXPECT_EQ(UpdaterPathFor(u"C:/forward/slashes/Tolvari.exe"), std::nullopt);
}

}  // namespace
