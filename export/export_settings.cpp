#include "export/export_settings.h"

#include "model/text_utils.h"

namespace kistora {

void RestorePresentationDefaults(ExportSettings& settings) {
  settings.ShowPrice = false;
  settings.PTCol = 0xFFC040;
  settings.STCol = 0xFFE0B0;
  settings.PageCol = 0xFFFFFF;
  settings.TabCol = 0xFFFFFF;
  settings.TabBorder = false;
  settings.PageTitle = "Inventaire de Diablo II - Liste de trade";
  settings.Sign.clear();
  settings.DoShellExec = true;
  settings.IICol = 0xD9D9FF;  // #FFD9D9
  settings.IIPrice = 2;
  settings.UseBascule = true;
  settings.ShowMajDate = true;
}

std::string ChangeExportExtension(std::string_view fileName, std::string_view extension) {
  const int dots = CountOf(".", fileName);
  std::string result = dots == 0 ? std::string(fileName) : BeforeNth(".", fileName, dots);
  result += extension;
  return result;
}

std::string_view ExportExtension(ExportFormat format) {
  switch (format) {
    case ExportFormat::Html:
      return ".html";
    case ExportFormat::Markdown:
      return ".md";
    case ExportFormat::Ascii:
    case ExportFormat::BBCode:
      break;
  }
  return ".txt";
}

void SelectExportFormat(ExportSettings& settings, ExportFormat format) {
  if (settings.Format == format) return;
  settings.Format = format;
  settings.FileName = ChangeExportExtension(settings.FileName, ExportExtension(format));
}

}  // namespace kistora
