// kistora-cli export DIR [--output FILE] [--now YYYY-MM-DDTHH:MM:SS]
// Writes the trading list of DIR exactly as the program does after OK in the
// export dialog, with the export settings of DIR/kistora.ini (designed values
// when it does not exist). Never opens the written file.
#include <clocale>
#include <cstdio>
#include <ctime>
#include <optional>
#include <string>
#include <string_view>

#include "cli_support.h"
#include "commands.h"
#include "export/export_run.h"
#include "model/cp1252.h"
#include "model/file_error.h"
#include "options/option_values.h"

namespace kistora::cli {

namespace {

constexpr int kExitNoSelectedChar = 3;
constexpr const char* kSyntax = "export DIR [--output FILE] [--now YYYY-MM-DDTHH:MM:SS]";

struct ExportArgs {
  std::string dir;
  std::optional<std::string> output;
  std::optional<std::string> now;
};

int ExportUsage(const std::string& problem) { return UsageError(problem + "\nusage: kistora-cli " + kSyntax); }

// Fills args; on a usage error returns the message.
std::optional<std::string> ParseArgs(int argc, char** argv, ExportArgs& args) {
  bool haveDir = false;
  for (int i = 1; i < argc; ++i) {
    const std::string_view arg = argv[i];
    if (arg == "--output" || arg == "--now") {
      std::optional<std::string>& slot = arg == "--output" ? args.output : args.now;
      if (slot) return "export: " + std::string(arg) + " given twice";
      if (i + 1 >= argc) return "export: " + std::string(arg) + " needs a value";
      slot = argv[++i];
    } else if (arg.size() > 1 && arg[0] == '-') {
      return "export: unknown option " + std::string(arg);
    } else if (haveDir) {
      return "export takes only one folder DIR";
    } else {
      args.dir = std::string(arg);
      haveDir = true;
    }
  }
  if (!haveDir) return std::string("export needs the folder DIR");
  if (args.dir.empty()) return std::string("export: DIR is empty");
  if (args.output && args.output->empty()) return std::string("export: --output FILE is empty");
  // File names are held as Windows-1252 text, as the export dialog holds them.
  if (args.output && Cp1252ToUtf8(Utf8ToCp1252(*args.output)) != *args.output) {
    return "export: --output " + *args.output + " holds characters a Windows-1252 file name cannot spell";
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

void Complain(const std::string& cp1252) { std::fprintf(stderr, "kistora-cli: %s\n", Cp1252ToUtf8(cp1252).c_str()); }

}  // namespace

int CmdExport(int argc, char** argv) {
  ExportArgs args;
  if (const auto problem = ParseArgs(argc, argv, args)) return ExportUsage(*problem);
  std::optional<std::tm> fixedNow;
  if (args.now) {
    fixedNow = ParseNow(*args.now);
    if (!fixedNow)
      return ExportUsage("export: --now wants a real date and time as YYYY-MM-DDTHH:MM:SS, not \"" + *args.now + "\"");
  }
  // The windowed program formats its dates in the user's locale; so does this.
  std::setlocale(LC_TIME, "");

  LoadedDir loaded = LoadDataDir(args.dir);
  if (!loaded.BothOpened()) {
    // An export from a folder whose databases cannot be read would silently
    // list nothing: refuse instead.
    ReportOpenFailures(loaded);
    return kExitUnreadable;
  }
  for (const FileLoad* file : {&loaded.items, &loaded.chars}) {
    if (*file->result != 0) {
      std::fprintf(stderr, "kistora-cli: warning: %s: %s; exporting what was read\n", file->path.c_str(),
                   ResultMeaning(*file->result).c_str());
    }
  }

  OptionValues options;
  const std::string iniPath = DataFilePath(args.dir, "kistora.ini");
  try {
    ReadOptionValues(iniPath, options, loaded.catalogue);
  } catch (const EFileError& error) {
    // As the program does: report, keep what was applied before, go on.
    Complain(std::string(error.what()) + ".");
  }
  ExportSettings settings = options.Export;
  if (args.output) settings.FileName = Utf8ToCp1252(*args.output);

  const ExportResult result =
      RunExport(settings, loaded.catalogue, options.SelectedCharRow, fixedNow ? *fixedNow : CurrentTime());
  switch (result.Status) {
    case ExportStatus::Written:
      return WriteOut(result.Path + "\n") ? kExitOk : kExitUnreadable;
    case ExportStatus::NoSelectedChar:
      Complain(
          "the export options ask for the selected character (\"Personnage s\xE9lectionn\xE9\") "
          "and no character is selected; nothing was written");
      return kExitNoSelectedChar;
    case ExportStatus::Failed:
      Complain(settings.FileName + ": " + result.Message);
      return kExitUnreadable;
  }
  return kExitUnreadable;
}

}  // namespace kistora::cli
