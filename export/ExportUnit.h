// The export options dialog: every export setting lives in one of its
// controls, kept for the whole run (the dialog is hidden, never destroyed), and
// "Exporter..." runs the core's export with what the controls hold after OK.
#pragma once

#include <QDialog>
#include <QString>
#include <QStringList>
#include <ctime>
#include <functional>
#include <optional>
#include <string_view>

#include "export/export_settings.h"
#include "model/colour_text.h"
#include "options/option_bindings.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QSpinBox;
class QWidget;

namespace kistora {
class TCatalogue;
}

namespace kistora {
class ColourSwatch;

// What the save dialog is asked: its folder, preset file name, filters and the
// filter selected at first.
struct SaveFileRequest {
  QString Directory;
  QString FileName;
  QStringList Filters;
  QString SelectedFilter;
};

// The two common dialogs, replaceable so that tests can answer them. Each
// returns nothing when the user cancels.
using ColourPickerFn = std::function<std::optional<TColor>(QWidget* parent, TColor current)>;
using SaveFilePickerFn = std::function<std::optional<QString>(QWidget* parent, const SaveFileRequest& request)>;

// The real ones: QColorDialog, and a (non-native) QFileDialog in save mode
// without overwrite prompt.
std::optional<TColor> PickColourWithDialog(QWidget* parent, TColor current);
std::optional<QString> PickSaveFileWithDialog(QWidget* parent, const SaveFileRequest& request);
}  // namespace kistora

class TExportWin : public QDialog {
  Q_OBJECT
 public:
  static constexpr int kNarrowWidth = 378;  // outer widths
  static constexpr int kWideWidth = 800;
  static constexpr int kClientHeight = 271;
  static constexpr int kPanelMoreLeft = 368;

  explicit TExportWin(QWidget* parent = nullptr);

  // Shows the dialog modally, centred over its parent, the main window; true for OK.
  bool Execute();
  // The controls as the core's export settings, and back (the format first, so
  // that the file name set afterwards is the one kept).
  kistora::ExportSettings Settings() const;
  void SetSettings(const kistora::ExportSettings& settings);
  bool IsWide() const { return wide_; }

  // "Exporter...": the dialog, then on OK the export of catalogue with the
  // character at selectedCharRow (-1 for none), the error box on failure, the
  // shell afterwards; with "Copier dans le presse-papiers" the list goes to the
  // clipboard too and a message says "Liste copiée (N objets)".
  // The last list of each format is remembered in the data folder.
  void ExportInventory(const kistora::TCatalogue& catalogue, int selectedCharRow);
  // Binds every export key to the dialog's controls.
  void BindOptions(kistora::OptionBindings& b);

  // Handlers, named after their control and event.
  void FormatHTMLClick();
  void FormatASCIIClick();
  void FormatBBCodeClick();
  void FormatMarkdownClick();
  void ParcourirClick();
  void MoreClick();
  void ColPanelClick(kistora::ColourSwatch* swatch);
  void DefaultClick();

  // Seams: the colour picker, the save dialog and the clock of the export.
  kistora::ColourPickerFn PickColour = kistora::PickColourWithDialog;
  kistora::SaveFilePickerFn PickSaveFile = kistora::PickSaveFileWithDialog;
  std::function<std::tm()> Now;

  // Left part.
  QRadioButton* FormatHTML = nullptr;
  QRadioButton* FormatASCII = nullptr;
  QRadioButton* FormatBBCode = nullptr;    // "Forum (BBCode)", right of "ASCII"
  QRadioButton* FormatMarkdown = nullptr;  // "Markdown"
  QLineEdit* FileName = nullptr;
  QPushButton* Parcourir = nullptr;
  QCheckBox* ShowUniques = nullptr;
  QCheckBox* ShowSets = nullptr;
  QCheckBox* ShowRares = nullptr;
  QCheckBox* ShowCrafted = nullptr;
  QCheckBox* ShowMagics = nullptr;
  QCheckBox* ShowNormals = nullptr;
  QCheckBox* MaskPrice0 = nullptr;
  QWidget* Panel1 = nullptr;
  QRadioButton* ShowSelChar = nullptr;
  QRadioButton* ShowAllChar = nullptr;
  QRadioButton* ShowAll = nullptr;
  QCheckBox* NewOnly = nullptr;          // right of "Objets affichés:"
  QCheckBox* CopyToClipboard = nullptr;  // right of the scope
  QPushButton* OK = nullptr;
  QPushButton* Cancel = nullptr;
  QPushButton* More = nullptr;

  // Right part.
  QWidget* PanelMore = nullptr;
  QCheckBox* ShowPrice = nullptr;
  kistora::ColourSwatch* PTCol = nullptr;
  kistora::ColourSwatch* STCol = nullptr;
  kistora::ColourSwatch* PageCol = nullptr;
  kistora::ColourSwatch* TabCol = nullptr;
  QCheckBox* TabBorder = nullptr;
  QLineEdit* PageTitle = nullptr;
  QLineEdit* Sign = nullptr;
  QCheckBox* DoShellExec = nullptr;
  QPushButton* Default = nullptr;
  QLabel* Label9 = nullptr;
  kistora::ColourSwatch* IICol = nullptr;
  QSpinBox* IIPrice = nullptr;
  QCheckBox* UseBascule = nullptr;
  QCheckBox* ShowMajDate = nullptr;
  QWidget* Panel2 = nullptr;
  QRadioButton* TrierNo = nullptr;
  QRadioButton* TrierName = nullptr;
  QRadioButton* TrierPrice = nullptr;
  QCheckBox* TrierSets = nullptr;

 protected:
  void showEvent(QShowEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  void BuildLeftPart();
  void BuildPanelMore();
  // Gives the window this outer width (frame included) at the designed height.
  void SetOuterWidth(int outerWidth);
  void ChangeExtension(std::string_view extension);
  // The radio button of a format, and the format whose button is checked.
  QRadioButton* FormatButton(kistora::ExportFormat format) const;
  kistora::ExportFormat CheckedFormat() const;
  // The thirteen presentation controls, which "Défaut" restores.
  void ApplyPresentation(const kistora::ExportSettings& settings);

  bool wide_ = false;
};
