// kistora-cli export [DIR] [--format html|ascii|bbcode|markdown] [--new-only]
//                    [--output FILE|-] [-] [--now YYYY-MM-DDTHH:MM:SS]
// Writes the trading list of DIR exactly as the program does after OK in the
// export dialog, with the export settings of DIR/kistora.ini (designed values
// when it does not exist), and remembers it as the format's last list in
// DIR/last-exports.txt as the program does. Never opens the written file.
#include <algorithm>
#include <cstdio>
#include <ctime>
#include <optional>
#include <string>
#include <string_view>

#include "cli_support.h"
#include "commands.h"
#include "export/export_memory.h"
#include "export/export_run.h"
#include "model/cp1252.h"
#include "options/option_values.h"
#include "storage/file_error.h"

namespace kistora::cli {

namespace {

struct ExportArgs {
  std::string dir;
  std::optional<std::string> output;  // "-": standard output
  std::optional<std::string> now;
  std::optional<ExportFormat> format;
  bool newOnly = false;
};

std::optional<ExportFormat> FormatNamed(std::string_view word) {
  for (const ExportFormat format :
       {ExportFormat::Html, ExportFormat::Ascii, ExportFormat::BBCode, ExportFormat::Markdown}) {
    if (ExportFormatWord(format) == word) return format;
  }
  return std::nullopt;
}

// Fills out; on a usage error returns the message.
std::optional<std::string> TakeExportArgs(const CommandArgs& commandArgs, ExportArgs& out) {
  // A lone "-" among the operands is short for --output -.
  CommandArgs args = commandArgs;
  const auto dash = std::find(args.operands.begin(), args.operands.end(), "-");
  if (dash != args.operands.end()) {
    args.operands.erase(dash);
    if (args.values.count("--output") != 0) return std::string("export : - et --output donnés ensemble");
    args.values["--output"] = "-";
  }
  if (auto problem = TakeOnlyDataDir(args, out.dir)) return problem;
  if (const auto output = args.values.find("--output"); output != args.values.end()) out.output = output->second;
  if (const auto now = args.values.find("--now"); now != args.values.end()) out.now = now->second;
  if (out.output && out.output->empty()) return std::string("export : --output FICHIER est vide");
  if (const auto format = args.values.find("--format"); format != args.values.end()) {
    out.format = FormatNamed(format->second);
    if (!out.format) return "export : --format attend html, ascii, bbcode ou markdown, pas « " + format->second + " »";
  }
  out.newOnly = args.flags.count("--new-only") != 0;
  // File names are held as Windows-1252 text, as the export dialog holds them.
  if (out.output && Cp1252ToUtf8(Utf8ToCp1252(*out.output)) != *out.output) {
    return "export : --output " + *out.output +
           " contient des caractères qu'un nom de fichier Windows-1252 ne peut pas écrire";
  }
  return std::nullopt;
}

bool IsLeapYear(int year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

// "YYYY-MM-DDTHH:MM:SS" as a local time with its weekday; nullopt unless it is
// exactly that shape and a real date and time.
std::optional<std::tm> ParseNow(std::string_view text) {
  static constexpr std::string_view kShape = "dddd-dd-ddTdd:dd:dd";
  if (text.size() != kShape.size()) return std::nullopt;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const bool digit = text[i] >= '0' && text[i] <= '9';
    if (kShape[i] == 'd' ? !digit : text[i] != kShape[i]) return std::nullopt;
  }
  const auto number = [&](std::size_t at, std::size_t length) {
    int value = 0;
    for (std::size_t i = at; i < at + length; ++i) value = value * 10 + (text[i] - '0');
    return value;
  };
  const int year = number(0, 4), month = number(5, 2), day = number(8, 2);
  const int hour = number(11, 2), minute = number(14, 2), second = number(17, 2);
  static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (year < 1 || month < 1 || month > 12 || day < 1) return std::nullopt;
  if (day > kDays[month - 1] + (month == 2 && IsLeapYear(year) ? 1 : 0)) return std::nullopt;
  if (hour > 23 || minute > 59 || second > 59) return std::nullopt;
  std::tm now{};
  now.tm_year = year - 1900;
  now.tm_mon = month - 1;
  now.tm_mday = day;
  now.tm_hour = hour;
  now.tm_min = minute;
  now.tm_sec = second;
  std::tm weekday = now;
  ::timegm(&weekday);  // a valid date is left as is; only the weekday and day of year are filled
  now.tm_wday = weekday.tm_wday;
  now.tm_yday = weekday.tm_yday;
  now.tm_isdst = -1;
  return now;
}

std::tm CurrentTime() {
  const std::time_t clock = std::time(nullptr);
  std::tm now{};
  ::localtime_r(&clock, &now);
  return now;
}

}  // namespace

int CmdExport(const CommandArgs& commandArgs) {
  ExportArgs args;
  if (const auto problem = TakeExportArgs(commandArgs, args)) return UsageErrorFor(commandArgs, *problem);
  std::optional<std::tm> fixedNow;
  if (args.now) {
    fixedNow = ParseNow(*args.now);
    if (!fixedNow) {
      return UsageErrorFor(
          commandArgs,
          "export : --now attend une date et une heure réelles, AAAA-MM-JJTHH:MM:SS, pas « " + *args.now + " »");
    }
  }

  LoadedDir loaded = LoadDataDir(args.dir);
  if (!loaded.BothOpened()) {
    // An export from a folder whose databases cannot be read would silently
    // list nothing: refuse instead.
    ReportOpenFailures(loaded);
    return kExitUnreadable;
  }
  for (const FileLoad* file : {&loaded.items, &loaded.chars}) WarnPartlyRead(*file, "export de ce qui a été lu");

  OptionValues options;
  const std::string iniPath = DataFilePath(args.dir, "kistora.ini");
  try {
    ReadOptionValues(iniPath, options, loaded.catalogue);
  } catch (const EFileError& error) {
    // As the program does: report, keep what was applied before, go on.
    ComplainCp1252(std::string(error.what()) + ".");
  }
  ExportSettings settings = options.Export;
  if (args.format) SelectExportFormat(settings, *args.format);  // as its radio button: the file's extension follows
  if (args.newOnly) settings.NewOnly = true;
  const bool toStandardOutput = args.output == "-";
  if (args.output && !toStandardOutput) settings.FileName = Utf8ToCp1252(*args.output);

  ExportOutputs outputs;
  outputs.File = !toStandardOutput;
  if (toStandardOutput) outputs.Deliver = [](std::string_view list) { return WriteOut(list); };
  outputs.MemoryPath = DataFilePath(args.dir, kExportMemoryFileName);
  const ExportResult result =
      RunExport(settings, loaded.catalogue, options.SelectedCharRow, fixedNow ? *fixedNow : CurrentTime(), outputs);
  if (!result.MemoryProblem.empty()) ComplainCp1252("attention : " + result.MemoryProblem);
  switch (result.Status) {
    case ExportStatus::Written:
      if (toStandardOutput) return kExitOk;
      return WriteOut(result.Path + "\n") ? kExitOk : kExitUnreadable;
    case ExportStatus::NoSelectedChar:
      Complain(
          "les options d'export demandent le personnage sélectionné (« Personnage sélectionné ») "
          "et aucun personnage n'est sélectionné ; rien n'a été écrit");
      return kExitNoSelectedChar;
    case ExportStatus::Failed:
      // Standard output that failed was already told by WriteOut.
      if (!toStandardOutput) ComplainCp1252(settings.FileName + " : " + result.Message);
      return kExitUnreadable;
  }
  return kExitUnreadable;
}

}  // namespace kistora::cli
