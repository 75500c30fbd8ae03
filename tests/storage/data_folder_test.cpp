// The data folder rule on made-up folder layouts: explicit choices, a copy run
// from its own folder, an installed copy, and creating the installed folder.
#include "storage/data_folder.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "core_test_support.h"

namespace kistora {
namespace {

using namespace testing;

// A prefix laid out as the install rules lay it out: PREFIX/bin and PREFIX/share/kistora/installed.
struct InstalledLayout {
  TempDir root;
  std::string bin = root.File("usr/bin/");
  InstalledLayout() {
    for (const char* dir : {"usr", "usr/bin", "usr/share", "usr/share/kistora"}) ::mkdir(root.File(dir).c_str(), 0755);
    WriteBytes(root.File("usr/share/kistora/") + kInstallMarkerName, "");
  }
  DataDirInputs Inputs() const { return {"", "", bin, "", "/home/joueur"}; }
};

TEST(DataFolder, CommandLineThenEnvironmentWin) {
  InstalledLayout layout;
  DataDirInputs inputs = layout.Inputs();
  inputs.environmentDir = "/srv/env";
  inputs.commandLineDir = "/srv/cli";
  EXPECT_EQ(ChooseDataDir(inputs).dir, "/srv/cli/");
  EXPECT_EQ(ChooseDataDir(inputs).source, DataDirSource::CommandLine);
  inputs.commandLineDir.clear();
  EXPECT_EQ(ChooseDataDir(inputs).dir, "/srv/env/");
  EXPECT_EQ(ChooseDataDir(inputs).source, DataDirSource::Environment);
  // A relative folder is made absolute from the current folder.
  inputs.environmentDir = "donnees";
  const DataDirChoice relative = ChooseDataDir(inputs);
  EXPECT_EQ(relative.dir.front(), '/');
  EXPECT_EQ(relative.dir.substr(relative.dir.size() - 9), "/donnees/");
}

TEST(DataFolder, InstalledCopyUsesTheUserDataFolder) {
  InstalledLayout layout;
  DataDirInputs inputs = layout.Inputs();
  EXPECT_EQ(ChooseDataDir(inputs).dir, "/home/joueur/.local/share/kistora/");
  EXPECT_EQ(ChooseDataDir(inputs).source, DataDirSource::Installed);
  inputs.xdgDataHome = "/data/xdg/";
  EXPECT_EQ(ChooseDataDir(inputs).dir, "/data/xdg/kistora/");
  inputs.xdgDataHome = "relative/xdg";  // ignored, as the XDG rules say
  EXPECT_EQ(ChooseDataDir(inputs).dir, "/home/joueur/.local/share/kistora/");
}

TEST(DataFolder, OtherCopiesKeepTheirFilesBesideThemselves) {
  {
    // Data files already beside an installed-looking executable stay in use.
    InstalledLayout layout;
    WriteBytes(layout.bin + "items.kdb", "");
    EXPECT_EQ(ChooseDataDir(layout.Inputs()).dir, layout.bin);
    EXPECT_EQ(ChooseDataDir(layout.Inputs()).source, DataDirSource::Portable);
  }
  {
    // A "bin" folder without the install marker (an unpacked folder).
    InstalledLayout layout;
    ::unlink((layout.root.File("usr/share/kistora/") + kInstallMarkerName).c_str());
    EXPECT_EQ(ChooseDataDir(layout.Inputs()).source, DataDirSource::Portable);
  }
  {
    // The marker beside a folder not named "bin" (a build folder), given without its final "/".
    TempDir build;
    ::mkdir(build.File("app").c_str(), 0755);
    ::mkdir(build.File("share").c_str(), 0755);
    ::mkdir(build.File("share/kistora").c_str(), 0755);
    WriteBytes(build.File("share/kistora/") + kInstallMarkerName, "");
    const DataDirChoice choice = ChooseDataDir({"", "", build.File("app"), "", "/home/joueur"});
    EXPECT_EQ(choice.dir, build.File("app/"));
    EXPECT_EQ(choice.source, DataDirSource::Portable);
  }
}

TEST(DataFolder, CreatesMissingFoldersAndExplainsWhyNot) {
  TempDir home;
  const std::string dir = home.File(".local/share/kistora");
  bool created = false;
  EXPECT_EQ(CreateDataDir(dir, &created), "");
  EXPECT_TRUE(created) << "this call made the folder: it holds nothing yet";
  struct stat info {};
  ASSERT_EQ(::stat(dir.c_str(), &info), 0);
  EXPECT_TRUE(S_ISDIR(info.st_mode));
  EXPECT_EQ(info.st_mode & 0777, 0700u);
  EXPECT_EQ(CreateDataDir(dir + "/", &created), "") << "an existing folder is fine";
  EXPECT_FALSE(created) << "a folder that was there may hold the player's files";

  // A file where a folder should be: a clear reason naming it, nothing created below it.
  WriteBytes(home.File("plain"), "x");
  const std::string reason = CreateDataDir(home.File("plain/kistora"));
  EXPECT_NE(reason.find(home.File("plain")), std::string::npos) << reason;
  EXPECT_NE(reason.find("un fichier porte"), std::string::npos) << reason;
  EXPECT_EQ(ReadBytes(home.File("plain")), "x");
}

}  // namespace
}  // namespace kistora
