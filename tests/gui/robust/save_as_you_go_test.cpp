// Nothing a player does is lost: every change reaches the files without a
// close, a failing save says so once and is tried again, a close asked for
// during a start-up box waits for start-up, and a second copy of the program
// on the same folder stops.
#include <gtest/gtest.h>

#include <QTest>
#include <cerrno>
#include <cstring>

#include "GuiTestSupport.h"
#include "RobustTestHelpers.h"
#include "app/Windows.h"
#include "gui/DataFolderGuard.h"
#include "mainwindow/MainUnit.h"
#include "storage/catalogue_store.h"
#include "storage/data_folder_lock.h"
#include "storage/database.h"
#include "storage/file_ops.h"

namespace kistora::testing {
namespace {

// Makes the save of one database fail at its rename with ENOSPC, as a full disk would.
class FullDiskFor final : public FileOps {
 public:
  explicit FullDiskFor(const char* name) : name_(name) {}
  int Rename(const char* from, const char* to) override {
    if (std::strstr(to, name_) != nullptr) {
      errno = ENOSPC;
      return -1;
    }
    return FileOps::Rename(from, to);
  }

 private:
  const char* name_;
};

std::size_t CharsOnDisk(const GuiTestEnvironment& env) {
  TCatalogue saved;
  return LoadChars(saved, env.Path("chars.kdb")) == kLoadOk ? saved.CharList.size() : 0;
}

void AddCharacter(TMain& main, const char* name) {
  auto character = std::make_unique<TChar>();
  character->Name = name;
  main.Catalogue().AddChar(std::move(character));
}

TEST(SaveAsYouGo, AChangeReachesTheFileWithoutAClose) {
  GuiTestEnvironment env;
  env.WriteDatabases(SampleCatalogue());
  ScopedProgram program;
  program.ShowMain();
  AddCharacter(program.Main(), "Nouveau");
  Windows().Store->WaitIdle();
  EXPECT_EQ(CharsOnDisk(env), 3u);
  EXPECT_TRUE(env.Messages.Shown.empty());
}

TEST(SaveAsYouGo, AFailureIsToldOnceInTheClosesWordsAndRetriedAtTheNextChange) {
  GuiTestEnvironment env;
  env.WriteDatabases(SampleCatalogue());
  ScopedProgram program;
  program.ShowMain();
  {
    FullDiskFor full("chars.kdb");
    ScopedFileOps failing(full);
    AddCharacter(program.Main(), "Un");
    Windows().Store->WaitIdle();
    AddCharacter(program.Main(), "Deux");
    Windows().Store->WaitIdle();
    QTest::qWait(50);  // the reports are shown from the window's own thread
  }
  const QStringList errors = env.Messages.Texts(BoxKind::FileError);
  ASSERT_EQ(errors.size(), 1) << "told once";
  EXPECT_EQ(errors[0], QString::fromUtf8("Impossible de créer le fichier ") +
                           QString::fromStdString(env.Path("chars.kdb")) + QStringLiteral("."));
  EXPECT_EQ(CharsOnDisk(env), 2u);
  EXPECT_EQ(program.Main().Catalogue().CharList.size(), 4u) << "kept in memory";
  AddCharacter(program.Main(), "Trois");
  Windows().Store->WaitIdle();
  EXPECT_EQ(CharsOnDisk(env), 5u);
}

TEST(SaveAsYouGo, ACloseAskedForDuringAStartUpBoxRunsAfterStartUpAndKeepsTheCharacters) {
  GuiTestEnvironment env;
  env.WriteDatabases(SampleCatalogue());
  const std::string items = ReadBytes(env.Path("items.kdb"));
  WriteBytes(env.Path("items.kdb"), items.substr(0, items.size() - 3));  // damaged: a start-up box
  bool asked = false;
  env.Messages.OnShow = [&asked](QWidget* parent, const ShownBox&) {
    if (!asked && parent) asked = !parent->close();  // refused for now, not lost
  };
  ScopedProgram program;
  ASSERT_TRUE(asked);
  EXPECT_EQ(program.Main().Catalogue().CharList.size(), 2u) << "both loads ran";
  QTest::qWait(50);
  EXPECT_EQ(CharsOnDisk(env), 2u) << "the characters file was not written empty";
  EXPECT_TRUE(program.Main().Catalogue().CharList.empty()) << "the close ran, after start-up";
}

TEST(SaveAsYouGo, ASecondCopyOnTheSameFolderStops) {
  GuiTestEnvironment env;
  DataFolderLock first;
  ASSERT_TRUE(TakeDataFolder(first, env.DataDir()));
  WriteBytes(env.Path(".kistora-abc123.tmp"), "left by a killed save");
  DataFolderLock second;
  EXPECT_FALSE(TakeDataFolder(second, env.DataDir()));
  ASSERT_EQ(env.Messages.Shown.size(), 1u);
  EXPECT_TRUE(env.Messages.Shown[0].text.startsWith(QString::fromUtf8("Kistora est déjà ouvert sur le dossier ") +
                                                    QString::fromStdString(env.DataDir())));
  first.Release();
  EXPECT_TRUE(TakeDataFolder(second, env.DataDir()));
  EXPECT_EQ(Snapshot(env.DataDir()).count(".kistora-abc123.tmp"), 0u) << "a killed save's leftover goes";
}

}  // namespace
}  // namespace kistora::testing
