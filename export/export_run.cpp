#include "export/export_run.h"

#include <sys/stat.h>

#include <cerrno>
#include <utility>

#include "export/export_dates.h"
#include "export/export_selection.h"
#include "model/cp1252.h"
#include "model/text_utils.h"
#include "storage/file_error.h"
#include "storage/safe_file.h"

namespace kistora {

namespace {

// Feeds the writers' bytes to the safe save, which buffers them.
class SafeFileSink : public ExportSink {
 public:
  explicit SafeFileSink(SafeFileWriter& writer) : writer_(writer) {}
  void Write(std::string_view text) override { writer_.Write(text); }

 private:
  SafeFileWriter& writer_;
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

ExportResult RunExport(const ExportSettings& settings, const TCatalogue& catalogue, int selectedCharRow,
                       const std::tm& now, std::string_view caption) {
  ExportResult result;
  const bool hasSelection =
      selectedCharRow >= 0 && static_cast<std::size_t>(selectedCharRow) < catalogue.CharList.size();
  if (settings.Scope == ExportScope::SelectedChar && !hasSelection) {
    result.Status = ExportStatus::NoSelectedChar;
    return result;
  }
  if (settings.FileName.empty()) return Failure(EINVAL, {});  // no file to create
  const std::string path = ExportFilePath(settings.FileName);

  try {
    const ExportSelection selection(settings, catalogue, selectedCharRow);
    SafeFileWriter file(path, settings.FileName);
    SafeFileSink sink(file);
    ExportWriter writer(selection, sink, caption);
    writer.WritePage(FormatExportDates(now));
    // The previous list goes to ".bak" only once the new one is whole, so a
    // failed export leaves both the old list and its earlier backup untouched.
    file.Commit([&path] { KeepBackupCopy(path, path + ".bak"); });  // a failed backup is ignored
  } catch (const EFileError& error) {
    return Failure(error.Errno, path);
  }
  result.OpenWithShell = settings.DoShellExec;
  result.Path = path;
  return result;
}

}  // namespace kistora
