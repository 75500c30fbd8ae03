// The export run: files, backups, failures and their messages, dates, and the
// export dialog's small rules kept in the core. (A write failing at each call of
// the file layer: tests/robustness/fault_injection_test.cpp.)
#include "export/export_run.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <clocale>
#include <cstdlib>
#include <filesystem>

#include "core_test_support.h"
#include "export/export_dates.h"
#include "export_test_support.h"

namespace kistora {
namespace {

using testing::AddChar;
using testing::AddItem;
using testing::FixedNow;
using testing::ReadBytes;
using testing::TempDir;
using testing::W;
using testing::WriteBytes;

class Run : public ::testing::Test {
 protected:
  void SetUp() override {
    std::setlocale(LC_TIME, "C");
    AddItem<TD2Ring>(catalogue, 1, "Anneau", 5, 3);
    AddChar(catalogue, "Bob", {1});
    settings.FileName = dir.File("liste.html");
  }
  ExportResult Export(int selected = -1) { return RunExport(settings, catalogue, selected, FixedNow()); }

  TempDir dir;
  TCatalogue catalogue;
  ExportSettings settings;
};

TEST_F(Run, WritesTheListAndAsksForTheShellOnlyWhenTold) {
  const ExportResult result = Export();
  EXPECT_EQ(result.Status, ExportStatus::Written);
  EXPECT_TRUE(result.OpenWithShell);
  EXPECT_TRUE(result.Message.empty());
  EXPECT_EQ(ReadBytes(settings.FileName), testing::Export(settings, catalogue));
  settings.DoShellExec = false;
  EXPECT_FALSE(Export().OpenWithShell);
}

TEST_F(Run, ASecondRunLeavesTheFirstInTheBackupAndReplacesAnOlderBackup) {
  WriteBytes(settings.FileName + ".bak", "very old");
  settings.PageTitle = "premier";
  ASSERT_EQ(Export().Status, ExportStatus::Written);
  EXPECT_EQ(ReadBytes(settings.FileName + ".bak"), "very old") << "no file existed: the old backup stays";
  const std::string first = ReadBytes(settings.FileName);
  settings.PageTitle = "second";
  ASSERT_EQ(Export().Status, ExportStatus::Written);
  EXPECT_EQ(ReadBytes(settings.FileName + ".bak"), first);
  EXPECT_NE(ReadBytes(settings.FileName).find("second"), std::string::npos);
}

TEST_F(Run, SelectedScopeWithoutSelectionTouchesNothing) {
  settings.Scope = ExportScope::SelectedChar;
  WriteBytes(settings.FileName, "before");
  const ExportResult result = Export(-1);
  EXPECT_EQ(result.Status, ExportStatus::NoSelectedChar);
  EXPECT_FALSE(result.OpenWithShell);
  EXPECT_EQ(ReadBytes(settings.FileName), "before");
  EXPECT_FALSE(std::filesystem::exists(settings.FileName + ".bak"));
  EXPECT_EQ(Export(3).Status, ExportStatus::NoSelectedChar) << "a row beyond the list is no selection";
  EXPECT_EQ(Export(0).Status, ExportStatus::Written);
}

TEST_F(Run, ARelativeNameIsTakenFromTheCurrentDirectory) {
  const auto previous = std::filesystem::current_path();
  std::filesystem::current_path(dir.Path());
  settings.FileName = "relative.txt";
  settings.Format = ExportFormat::Ascii;
  const ExportResult result = Export();
  std::filesystem::current_path(previous);
  EXPECT_EQ(result.Status, ExportStatus::Written);
  EXPECT_NE(ReadBytes(dir.File("relative.txt")).find("  Anneau"), std::string::npos);
}

TEST_F(Run, ALinkIsFollowedAndThePermissionsKept) {
  const std::string real = dir.File("real.html");
  WriteBytes(real, "old");
  ASSERT_EQ(::chmod(real.c_str(), 0600), 0);
  ASSERT_EQ(::symlink(real.c_str(), settings.FileName.c_str()), 0);
  ASSERT_EQ(Export().Status, ExportStatus::Written);
  EXPECT_TRUE(std::filesystem::is_symlink(settings.FileName));
  EXPECT_NE(ReadBytes(real).find("<HTML>"), std::string::npos);
  struct stat info {};
  ASSERT_EQ(::stat(real.c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0600u);
  EXPECT_EQ(ReadBytes(settings.FileName + ".bak"), "old");
}

TEST_F(Run, FilesThatCannotBeCreatedGiveTheirMessage) {
  WriteBytes(dir.File("plain"), "x");
  ASSERT_EQ(::mkdir(dir.File("folder").c_str(), 0755), 0);
  const struct {
    std::string name;
    std::string message;
  } cases[] = {
      {dir.File("missing/liste.html"), "Fichier introuvable."},
      {dir.File("plain/liste.html"), "Nom de fichier incorrect."},
      {dir.File("folder"), "Nom de fichier incorrect."},
      {"", "Nom de fichier incorrect."},
      {dir.File(std::string(300, 'n')), "Nom de fichier incorrect."},
  };
  for (const auto& c : cases) {
    settings.FileName = c.name;
    const ExportResult result = Export();
    EXPECT_EQ(result.Status, ExportStatus::Failed) << c.name;
    EXPECT_EQ(result.Message, c.message) << c.name << " errno " << result.Errno;
    EXPECT_FALSE(result.OpenWithShell);
  }
  EXPECT_TRUE(std::filesystem::is_directory(dir.File("folder")));
}

TEST(ExportErrors, EveryErrnoHasItsText) {
  EXPECT_EQ(ExportErrorMessage(ENOENT), "Fichier introuvable.");
  for (int e : {EINVAL, ENAMETOOLONG, EISDIR, ENOTDIR, ELOOP})
    EXPECT_EQ(ExportErrorMessage(e), "Nom de fichier incorrect.");
  for (int e : {EMFILE, ENFILE}) EXPECT_EQ(ExportErrorMessage(e), "Trop de fichiers ouverts.");
  for (int e : {EACCES, EPERM, EROFS, ETXTBSY}) EXPECT_EQ(ExportErrorMessage(e), W("Accès au fichier refusé."));
  for (int e : {ENOSPC, EDQUOT, EFBIG}) EXPECT_EQ(ExportErrorMessage(e), "Disque plein.");
  EXPECT_EQ(ExportErrorMessage(EIO), "Erreur E/S 5.");
  EXPECT_EQ(ExportErrorMessage(EXDEV), "Erreur E/S " + std::to_string(EXDEV) + ".");
}

TEST(ExportDatesFormat, CLocaleDates) {
  std::setlocale(LC_TIME, "C");
  const ExportDates dates = FormatExportDates(FixedNow());
  EXPECT_EQ(dates.ShortDate, "12/06/26");
  EXPECT_EQ(dates.LongTime, "17:55:03");
  EXPECT_EQ(dates.UpdateDate, "Sunday 06 December");
}

// A French UTF-8 locale built for the test (the machine may have none
// installed): names like "décembre" must come out in Windows-1252. The locale is
// selected in a child process, so that neither LOCPATH nor the locale nor the
// C library's memory for them stays in the test process.
TEST(ExportDatesFormat, Utf8LocaleNamesBecomeWindows1252) {
  TempDir locales;
  const std::string command = "localedef -i fr_FR -f UTF-8 " + locales.File("fr_FR.UTF-8") + " >/dev/null 2>&1";
  if (std::system(command.c_str()) != 0) GTEST_SKIP() << "localedef cannot build fr_FR.UTF-8 here";
  int channel[2];
  ASSERT_EQ(::pipe(channel), 0);
  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    ::close(channel[0]);
    ::setenv("LOCPATH", locales.Path().c_str(), 1);
    std::string answer = "-";
    if (std::setlocale(LC_TIME, "fr_FR.UTF-8") != nullptr) {
      const ExportDates dates = FormatExportDates(FixedNow());
      answer = dates.ShortDate + "|" + dates.LongTime + "|" + dates.UpdateDate;
    }
    const ssize_t written = ::write(channel[1], answer.data(), answer.size());
    ::_exit(written == static_cast<ssize_t>(answer.size()) ? 0 : 1);
  }
  ::close(channel[1]);
  std::string answer;
  char buffer[256];
  for (ssize_t n; (n = ::read(channel[0], buffer, sizeof buffer)) > 0;)
    answer.append(buffer, static_cast<std::size_t>(n));
  ::close(channel[0]);
  int status = 0;
  ::waitpid(child, &status, 0);
  ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  if (answer == "-") GTEST_SKIP() << "the built locale could not be selected";
  EXPECT_EQ(answer, "06/12/2026|17:55:03|" + W("dimanche 06 décembre"));
}

TEST(ExportDialogRules, ChangingTheExtensionReplacesFromTheLastDot) {
  EXPECT_EQ(ChangeExportExtension("export.html", ".txt"), "export.txt");
  EXPECT_EQ(ChangeExportExtension("mes.objets.txt", ".html"), "mes.objets.html");
  EXPECT_EQ(ChangeExportExtension("export", ".txt"), "export.txt");
  EXPECT_EQ(ChangeExportExtension("C:\\a.b\\export", ".html"), "C:\\a.html");
  EXPECT_EQ(ChangeExportExtension("", ".txt"), ".txt");
  ExportSettings settings;
  settings.FileName = "export";
  SelectExportFormat(settings, ExportFormat::Ascii);
  EXPECT_EQ(settings.FileName, "export.txt");
  SelectExportFormat(settings, ExportFormat::Html);
  EXPECT_EQ(settings.FileName, "export.html");
  settings.FileName = "keep.txt";
  SelectExportFormat(settings, ExportFormat::Html);
  EXPECT_EQ(settings.FileName, "keep.txt") << "the format already checked runs no action";
}

TEST(ExportDialogRules, DefaultButtonRestoresOnlyThePresentation) {
  ExportSettings settings;
  settings.Format = ExportFormat::Ascii;
  settings.FileName = "x.txt";
  settings.ShowUniques = false;
  settings.MaskPrice0 = true;
  settings.Scope = ExportScope::AllItems;
  settings.SortBy = ExportSort::Price;
  settings.TrierSets = false;
  settings.ShowPrice = true;
  settings.PTCol = settings.STCol = settings.PageCol = settings.TabCol = 0x123456;
  settings.PageTitle = "t";
  settings.Sign = "s";
  settings.DoShellExec = false;
  settings.UseBascule = false;
  settings.ShowMajDate = false;
  RestorePresentationDefaults(settings);
  const ExportSettings designed;
  EXPECT_EQ(settings.Format, ExportFormat::Ascii);
  EXPECT_EQ(settings.FileName, "x.txt");
  EXPECT_FALSE(settings.ShowUniques);
  EXPECT_TRUE(settings.MaskPrice0);
  EXPECT_EQ(settings.Scope, ExportScope::AllItems);
  EXPECT_EQ(settings.SortBy, ExportSort::Price);
  EXPECT_FALSE(settings.TrierSets);
  EXPECT_FALSE(settings.ShowPrice);
  EXPECT_EQ(settings.PTCol, designed.PTCol);
  EXPECT_EQ(settings.STCol, designed.STCol);
  EXPECT_EQ(settings.PageCol, designed.PageCol);
  EXPECT_EQ(settings.TabCol, designed.TabCol);
  EXPECT_FALSE(settings.TabBorder);
  EXPECT_EQ(settings.PageTitle, designed.PageTitle);
  EXPECT_EQ(settings.Sign, "");
  EXPECT_TRUE(settings.DoShellExec);
  EXPECT_EQ(ColorToText(settings.IICol), "#FFD9D9");
  EXPECT_EQ(settings.IIPrice, 2);
  EXPECT_TRUE(settings.UseBascule);
  EXPECT_TRUE(settings.ShowMajDate);
}

}  // namespace
}  // namespace kistora
