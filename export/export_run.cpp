#include "export/export_run.h"

#include <sys/stat.h>

#include <cerrno>
#include <optional>
#include <utility>

#include "export/export_dates.h"
#include "export/export_memory.h"
#include "export/export_selection.h"
#include "model/cp1252.h"
#include "model/text_utils.h"
#include "storage/file_error.h"
#include "storage/safe_file.h"

namespace kistora {

namespace {

// Feeds the writers' bytes to the safe save, which buffers them, and keeps
// them too when the list is delivered elsewhere.
class ListSink : public ExportSink {
 public:
  ListSink(SafeFileWriter* file, std::string* kept) : file_(file), kept_(kept) {}
  void Write(std::string_view text) override {
    if (file_) file_->Write(text);
    if (kept_) kept_->append(text);
  }

 private:
  SafeFileWriter* file_;
  std::string* kept_;
};

ExportResult Failure(int error, std::string path) {
  ExportResult result;
  result.Path = std::move(path);
  result.Status = ExportStatus::Failed;
  result.Errno = error;
  result.Message = ExportErrorMessage(error);
  return result;
}

}  // namespace

std::string ExportFilePath(std::string_view fileName) { return Cp1252ToUtf8(fileName); }

std::string ExportErrorMessage(int error) {
  switch (error) {
    case ENOENT:
      return "Fichier introuvable.";
    case EINVAL:
    case ENAMETOOLONG:
    case EISDIR:
    case ENOTDIR:
    case ELOOP:
      return "Nom de fichier incorrect.";
    case EMFILE:
    case ENFILE:
      return "Trop de fichiers ouverts.";
    case EACCES:
    case EPERM:
    case EROFS:
    case ETXTBSY:
      return "Acc\xE8s au fichier refus\xE9.";
    case ENOSPC:
    case EDQUOT:
    case EFBIG:
      return "Disque plein.";
    default:
      return "Erreur E/S " + IntToStr(error) + ".";
  }
}

std::string ExportListClipboardText(std::string_view list, ExportFormat format) {
  const bool utf8 = format == ExportFormat::BBCode || format == ExportFormat::Markdown;
  const std::string text = utf8 ? std::string(list) : Cp1252ToUtf8(list);
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') continue;
    out += text[i];
  }
  return out;
}

std::string ExportCopiedText(int itemCount) {
  return "Liste copi\xE9"
         "e (" +
         IntToStr(itemCount) + (itemCount <= 1 && itemCount >= 0 ? " objet)" : " objets)");
}

bool ExportWritesFile(const ExportSettings& settings) {
  return !(settings.CopyToClipboard && settings.FileName.empty());
}

ExportResult RunExport(const ExportSettings& settings, const TCatalogue& catalogue, int selectedCharRow,
                       const std::tm& now, const ExportOutputs& outputs, std::string_view caption) {
  ExportResult result;
  const bool hasSelection =
      selectedCharRow >= 0 && static_cast<std::size_t>(selectedCharRow) < catalogue.CharList.size();
  if (settings.Scope == ExportScope::SelectedChar && !hasSelection) {
    result.Status = ExportStatus::NoSelectedChar;
    return result;
  }
  if (outputs.File && settings.FileName.empty()) return Failure(EINVAL, {});  // no file to create
  const std::string path = outputs.File ? ExportFilePath(settings.FileName) : std::string();

  const bool remembered = !outputs.MemoryPath.empty();
  ExportMemoryLoad memory;
  if (remembered) memory = LoadExportMemory(outputs.MemoryPath);
  ListedItems& lastList = memory.Memory.Lists[std::string(ExportFormatWord(settings.Format))];
  const ExportSelection selection(settings, catalogue, selectedCharRow, remembered ? &lastList : nullptr);

  std::string list;
  try {
    std::optional<SafeFileWriter> file;
    if (outputs.File) file.emplace(path, settings.FileName);
    ListSink sink(file ? &*file : nullptr, outputs.Deliver ? &list : nullptr);
    ExportWriter writer(selection, sink, caption);
    writer.WritePage(FormatExportDates(now));
    // The previous list goes to ".bak" only once the new one is whole, so a
    // failed export leaves both the old list and its earlier backup untouched.
    if (file) file->Commit([&path] { KeepBackupCopy(path, path + ".bak"); });  // a failed backup is ignored
  } catch (const EFileError& error) {
    return Failure(error.Errno, path);
  }
  if (outputs.Deliver && !outputs.Deliver(list)) return Failure(EIO, path);

  result.OpenWithShell = settings.DoShellExec && outputs.File;
  result.Path = path;
  result.ItemCount = selection.ItemCount();
  result.MemoryProblem = memory.Problem;
  if (remembered) {
    lastList = selection.Listed();
    try {
      SaveExportMemory(outputs.MemoryPath, memory.Memory);
    } catch (const EFileError& error) {
      if (!result.MemoryProblem.empty()) result.MemoryProblem += " ";
      result.MemoryProblem += std::string("Impossible d'\xE9") + "crire le fichier " +
                              Utf8ToCp1252(outputs.MemoryPath) + " : " + ExportErrorMessage(error.Errno) +
                              " La prochaine liste des nouveaux objets reprendra aussi ceux-ci.";
    }
  }
  return result;
}

}  // namespace kistora
