// A database file that is there but cannot be read cleanly at start-up: the
// player is told which file and what was read, and at close its original is
// kept beside it (items.kdb.damaged, .damaged.2 ...) before the catalogue is
// saved over it. (A missing file stays a plain first run:
// tests/gui/app/lifecycle_test.cpp.)
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QFile>
#include <QFileInfo>
#include <QTest>
#include <QTreeView>
#include <cerrno>
#include <set>

#include "GuiTestSupport.h"
#include "MainWindowHelpers.h"
#include "RobustTestHelpers.h"
#include "app/Windows.h"
#include "itemdb/ItemGUnit.h"
#include "mainwindow/MainUnit.h"
#include "storage/daily_backups.h"
#include "storage/database.h"
#include "storage/file_ops.h"

namespace kistora::testing {
namespace {

// The end of every start-up message about a damaged file.
QString Kept(const std::string& keptAs) {
  return QString::fromUtf8(" L'original sera conservé sous le nom ") + QString::fromStdString(keptAs) +
         QString::fromUtf8(
             " avant le premier enregistrement du catalogue : dès votre premier changement, ou à la fermeture.");
}

// Item numbers that the item database window lists, in its order.
QStringList ListedItems() {
  Windows().ItemG->ShowAndRaise();
  QStringList numbers = Column(Windows().ItemG->Liste, 0);
  numbers.sort();
  return numbers;
}

std::set<std::string> Names(const std::map<std::string, std::string>& files) {
  std::set<std::string> names;
  for (const auto& [name, bytes] : files) names.insert(name);
  return names;
}

TEST(DamagedAtStartUp, ATruncatedItemFileIsReportedAndKeptBeforeTheSave) {
  GuiTestEnvironment env;
  env.WriteDatabases(SampleCatalogue());
  const std::string items = env.Path("items.kdb");
  const std::string good = ReadBytes(items);
  const std::string cut = good.substr(0, good.size() - 5);  // the shield's record is cut
  WriteBytes(items, cut);
  const std::string charsBefore = ReadBytes(env.Path("chars.kdb"));
  {
    ScopedProgram program;
    TMain& main = program.Main();
    ASSERT_EQ(env.Messages.Shown.size(), 1u);
    EXPECT_EQ(env.Messages.Shown[0].kind, BoxKind::FileError);
    EXPECT_EQ(env.Messages.Shown[0].title, "Kistora");
    EXPECT_EQ(env.Messages.Shown[0].text, QString::fromUtf8("Le fichier ") + QString::fromStdString(items) +
                                              QString::fromUtf8(" est endommagé : 2 objets ont pu être lus.") +
                                              Kept(items + ".damaged"));
    program.ShowMain();
    // What was read is there; the characters were read too.
    EXPECT_EQ(ListedItems(), QStringList({"1", "2"}));
    ASSERT_EQ(main.Catalogue().CharList.size(), 2u);
    main.SelectCharRow(0);
    EXPECT_EQ(main.CharInv->model()->index(1, 1).data().toString(), "Hache");
    EXPECT_EQ(main.CharInv->model()->index(2, 1).data().toString(), "") << "item 3 was lost with its record";
    // Nothing is written before the close.
    EXPECT_EQ(ReadBytes(items), cut);
    EXPECT_FALSE(QFile::exists(QString::fromStdString(items + ".damaged")));

    ASSERT_TRUE(main.close());
  }
  EXPECT_EQ(ReadBytes(items + ".damaged"), cut) << "the original, byte for byte";
  TCatalogue saved;
  EXPECT_EQ(LoadItems(saved, items), kLoadOk) << "the new file is whole";
  EXPECT_EQ(saved.ItemList.size(), 2u);
  EXPECT_EQ(ReadBytes(env.Path("chars.kdb")), charsBefore) << "the characters, saved unchanged";
  EXPECT_EQ(Names(Snapshot(env.DataDir())),
            (std::set<std::string>{"backups", "items.kdb", "items.kdb.damaged", "chars.kdb", "kistora.ini"}));

  // A later run on a file damaged again keeps that one under the next name.
  std::string wrongMagic = ReadBytes(items);
  wrongMagic[3] = 'l';  // "DBIl"
  WriteBytes(items, wrongMagic);
  {
    ScopedProgram program;
    ASSERT_EQ(env.Messages.Texts(BoxKind::FileError).size(), 2);
    EXPECT_EQ(env.Messages.Texts(BoxKind::FileError)[1],
              QString::fromUtf8("Le fichier ") + QString::fromStdString(items) +
                  QString::fromUtf8(" n'est pas reconnu comme une base d'objets : rien n'a pu être lu.") +
                  Kept(items + ".damaged.2"));
    program.ShowMain();
    EXPECT_EQ(ListedItems(), QStringList());
    ASSERT_TRUE(program.Main().close());
  }
  EXPECT_EQ(ReadBytes(items + ".damaged"), cut) << "the first copy is never overwritten";
  EXPECT_EQ(ReadBytes(items + ".damaged.2"), wrongMagic);
  TCatalogue reloaded;
  EXPECT_EQ(LoadItems(reloaded, items), kLoadOk);
  EXPECT_TRUE(reloaded.ItemList.empty());
}

TEST(DamagedAtStartUp, ACharacterFileOfAnotherVersionIsKeptToo) {
  GuiTestEnvironment env;
  env.WriteDatabases(SampleCatalogue());
  const std::string chars = env.Path("chars.kdb");
  std::string otherVersion = ReadBytes(chars);
  otherVersion[4] = '\2';
  WriteBytes(chars, otherVersion);
  {
    ScopedProgram program;
    EXPECT_EQ(env.Messages.Texts(BoxKind::FileError),
              QStringList({QString::fromUtf8("Le fichier ") + QString::fromStdString(chars) +
                           QString::fromUtf8(" est d'une version inconnue : rien n'a pu être lu.") +
                           Kept(chars + ".damaged")}));
    EXPECT_EQ(program.Main().Catalogue().ItemList.size(), 3u) << "the items were read";
    EXPECT_TRUE(program.Main().Catalogue().CharList.empty());
    ASSERT_TRUE(program.Main().close());
  }
  EXPECT_EQ(ReadBytes(chars + ".damaged"), otherVersion);
  EXPECT_FALSE(QFile::exists(QString::fromStdString(env.Path("items.kdb.damaged"))));
}

TEST(DamagedAtStartUp, AMissingCharacterFileBesideAnItemDatabaseIsReported) {
  GuiTestEnvironment env;
  env.WriteDatabases(SampleCatalogue());
  ASSERT_EQ(::unlink(env.Path("chars.kdb").c_str()), 0);
  ScopedProgram program;
  EXPECT_EQ(env.Messages.Texts(BoxKind::FileError),
            QStringList({QString::fromStdString("Impossible d'ouvrir le fichier " + env.Path("chars.kdb") + ".")}));
  EXPECT_FALSE(program.Main().Catalogue().ItemList.empty());
}

TEST(DamagedAtStartUp, WhenTheOriginalCannotBeKeptItIsNotReplaced) {
  GuiTestEnvironment env;
  env.WriteDatabases(SampleCatalogue());
  const std::string items = env.Path("items.kdb");
  // A file that opens but cannot be read (nor therefore copied): /proc/self/mem at offset 0.
  ASSERT_EQ(::unlink(items.c_str()), 0);
  ASSERT_EQ(::symlink("/proc/self/mem", items.c_str()), 0);
  const std::string charsBefore = ReadBytes(env.Path("chars.kdb"));
  ScopedProgram program;
  TMain& main = program.Main();
  program.ShowMain();
  ASSERT_EQ(env.Messages.Texts(BoxKind::FileError).size(), 1);
  EXPECT_TRUE(env.Messages.Texts(BoxKind::FileError)[0].contains(QString::fromUtf8("rien n'a pu être lu")));
  env.Messages.Clear();

  EXPECT_FALSE(main.close());
  EXPECT_TRUE(main.isVisible());
  EXPECT_EQ(env.Messages.Texts(BoxKind::FileError),
            QStringList({QString::fromUtf8("Impossible de conserver une copie du fichier endommagé ") +
                         QString::fromStdString(items) +
                         QString::fromUtf8(" : il n'a pas été remplacé, et Kistora reste ouvert. Libérez de la "
                                           "place ou déplacez ce fichier, puis fermez de nouveau.")}));
  EXPECT_EQ(QFileInfo(QString::fromStdString(items)).symLinkTarget(), "/proc/self/mem") << "not replaced";
  EXPECT_EQ(ReadBytes(env.Path("chars.kdb")), charsBefore) << "nothing after the failed step is written";
  EXPECT_EQ(Names(Snapshot(env.DataDir())), (std::set<std::string>{"backups", "items.kdb", "chars.kdb", "kistora.ini"}))
      << "no partial copy";
  EXPECT_EQ(Names(Snapshot(env.Path("backups"))), (std::set<std::string>{"chars-" + LocalDateToday() + ".kdb"}))
      << "only a regular file is backed up";
  EXPECT_EQ(main.Catalogue().CharList.size(), 2u);

  // The player moves the file away: nothing is left to lose, the close saves.
  ASSERT_EQ(::rename(items.c_str(), env.Path("moved").c_str()), 0);
  env.Messages.Clear();
  ASSERT_TRUE(main.close());
  EXPECT_TRUE(env.Messages.Shown.empty());
  TCatalogue reloaded;
  EXPECT_EQ(LoadItems(reloaded, items), kLoadOk);
  EXPECT_EQ(LoadChars(reloaded, env.Path("chars.kdb")), kLoadOk);
  EXPECT_EQ(reloaded.CharList.size(), 2u);
}

TEST(DamagedAtStartUp, AFolderInTheFilesPlaceIsNamedAsSuchAndNeverReplaced) {
  GuiTestEnvironment env;
  env.WriteDatabases(SampleCatalogue());
  const std::string items = env.Path("items.kdb");
  ASSERT_EQ(::unlink(items.c_str()), 0);
  ASSERT_EQ(::mkdir(items.c_str(), 0755), 0);
  ScopedProgram program;
  TMain& main = program.Main();
  program.ShowMain();
  EXPECT_EQ(env.Messages.Texts(BoxKind::FileError),
            QStringList({QString::fromUtf8("Un dossier porte le nom du fichier ") + QString::fromStdString(items) +
                         QString::fromUtf8(" : rien n'a pu être lu, et Kistora ne pourra rien enregistrer sous ce "
                                           "nom tant que ce dossier sera là. Déplacez-le ou renommez-le.")}));
  env.Messages.Clear();

  EXPECT_FALSE(main.close());
  EXPECT_EQ(env.Messages.Texts(BoxKind::FileError),
            QStringList({QString::fromUtf8("Impossible d'enregistrer le fichier ") + QString::fromStdString(items) +
                         QString::fromUtf8(" : un dossier porte ce nom. Rien n'a été remplacé, et Kistora reste "
                                           "ouvert. Déplacez ou renommez ce dossier, puis fermez de nouveau.")}));
  EXPECT_TRUE(QFileInfo(QString::fromStdString(items)).isDir());
  ASSERT_EQ(::rmdir(items.c_str()), 0);
  EXPECT_TRUE(main.close()) << "the folder gone, the close saves";
}

// Makes the saving of items.kdb fail at its last step (the rename over it).
class FailingItemsSave final : public FileOps {
 public:
  int Rename(const char* from, const char* to) override {
    if (std::string(to).ends_with("/items.kdb")) {
      errno = ENOSPC;
      return -1;
    }
    return FileOps::Rename(from, to);
  }
};

TEST(DamagedAtStartUp, TheOriginalIsKeptOnceEvenWhenTheSaveFailsAndIsRetried) {
  GuiTestEnvironment env;
  env.WriteDatabases(SampleCatalogue());
  const std::string items = env.Path("items.kdb");
  std::string damaged = ReadBytes(items);
  damaged[12] = 'X';  // the first record's magic
  WriteBytes(items, damaged);
  ScopedProgram program;
  TMain& main = program.Main();
  program.ShowMain();
  env.Messages.Clear();
  {
    FailingItemsSave failing;
    ScopedFileOps scoped(failing);
    EXPECT_FALSE(main.close());
  }
  EXPECT_TRUE(main.isVisible());
  EXPECT_EQ(env.Messages.Texts(BoxKind::FileError),
            QStringList({QString::fromUtf8("Impossible de créer le fichier ") + QString::fromStdString(items) + "."}));
  EXPECT_EQ(ReadBytes(items), damaged) << "the failed save left the original in place";
  EXPECT_EQ(ReadBytes(items + ".damaged"), damaged) << "and its copy was made first";

  ASSERT_TRUE(main.close());
  EXPECT_FALSE(QFile::exists(QString::fromStdString(items + ".damaged.2"))) << "kept once per run";
  EXPECT_EQ(ReadBytes(items + ".damaged"), damaged);
  TCatalogue reloaded;
  EXPECT_EQ(LoadItems(reloaded, items), kLoadOk);
}

}  // namespace
}  // namespace kistora::testing
