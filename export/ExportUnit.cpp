#include "export/ExportUnit.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QClipboard>
#include <QColorDialog>
#include <QFileDialog>
#include <QFileInfo>
#include <QFrame>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QResizeEvent>
#include <QShowEvent>
#include <QSpinBox>
#include <algorithm>
#include <cerrno>
#include <limits>

#include "export/ColourSwatch.h"
#include "export/export_memory.h"
#include "export/export_run.h"
#include "gui/Platform.h"
#include "gui/QtText.h"
#include "gui/WindowFrame.h"
#include "gui/WindowPlacement.h"
#include "model/catalogue.h"
#include "options/export_options.h"

using kistora::ColourSwatch;
using kistora::Cp1252Text;
using kistora::CurrentPlatform;
using kistora::ExportFormat;
using kistora::ExportScope;
using kistora::ExportSettings;
using kistora::ExportSort;
using kistora::QtText;

namespace kistora {

std::optional<TColor> PickColourWithDialog(QWidget* parent, TColor current) {
  QColorDialog dialog(ToQColor(current), parent);
  dialog.setOption(QColorDialog::DontUseNativeDialog);
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  return FromQColor(dialog.selectedColor());
}

std::optional<QString> PickSaveFileWithDialog(QWidget* parent, const SaveFileRequest& request) {
  QFileDialog dialog(parent, QStringLiteral("Enregistrer sous"), request.Directory);
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setFileMode(QFileDialog::AnyFile);
  // The export keeps a ".bak" of the file it replaces: no overwrite prompt. No
  // default extension either: the name is used as chosen.
  dialog.setOptions(QFileDialog::DontUseNativeDialog | QFileDialog::DontConfirmOverwrite);
  dialog.setNameFilters(request.Filters);
  dialog.selectNameFilter(request.SelectedFilter);
  dialog.selectFile(request.FileName);
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  const QStringList chosen = dialog.selectedFiles();
  if (chosen.isEmpty() || chosen.first().isEmpty()) return std::nullopt;
  return chosen.first();
}

}  // namespace kistora

namespace {

const char* const kSaveFilters[] = {"Fichiers HTML (*.htm *.html)", "Fichiers textes (*.txt)",
                                    "Formats supportés (*.htm *.html *.txt)", "Tous les fichiers (*)"};
constexpr int kSelectedSaveFilter = 2;

std::tm CurrentLocalTime() {
  const std::time_t clock = std::time(nullptr);
  std::tm now{};
  ::localtime_r(&clock, &now);
  return now;
}

// The designed positions were drawn for a narrow 8-point font; with a wider one
// a caption is drawn smaller, never cut, when it does not fit its room.
void FitText(QWidget* control, int room) {
  kistora::ShrinkFontToFit(*control, [control, room](const QFont& font) {
    control->setFont(font);
    return control->sizeHint().width() <= room;
  });
}

// room: the width up to the next control on the same line.
QLabel* NewLabel(QWidget* parent, const char* caption, int left, int top, int room) {
  auto* label = new QLabel(QString::fromUtf8(caption), parent);
  FitText(label, room);
  label->setGeometry(left, top, room, label->sizeHint().height());
  return label;
}

template <class Control>
Control* Place(Control* control, const char* name, int left, int top, int width, int height) {
  control->setObjectName(QString::fromLatin1(name));
  control->setGeometry(left, top, width, height);
  return control;
}

QCheckBox* NewCheck(QWidget* parent, const char* name, const char* caption, int left, int top, int width,
                    bool checked) {
  auto* box = Place(new QCheckBox(QString::fromUtf8(caption), parent), name, left, top, width, 17);
  FitText(box, width);
  box->setChecked(checked);
  return box;
}

QRadioButton* NewRadio(QWidget* parent, const char* name, const char* caption, int left, int top, int width,
                       bool checked) {
  auto* radio = Place(new QRadioButton(QString::fromUtf8(caption), parent), name, left, top, width, 17);
  FitText(radio, width);
  radio->setChecked(checked);
  return radio;
}

QPushButton* NewButton(QWidget* parent, const char* name, const char* caption, int left, int top, int width = 75) {
  auto* button = Place(new QPushButton(QString::fromUtf8(caption), parent), name, left, top, width, 25);
  button->setAutoDefault(false);
  return button;
}

ColourSwatch* NewSwatch(QWidget* parent, const char* name, int left, int top, kistora::TColor colour) {
  auto* swatch = new ColourSwatch(parent);
  swatch->setObjectName(QString::fromLatin1(name));
  swatch->move(left, top);
  swatch->SetColour(colour);
  return swatch;
}

void NewLine(QWidget* parent, QFrame::Shape shape, int left, int top, int width, int height) {
  auto* line = new QFrame(parent);
  line->setFrameShape(shape);
  line->setFrameShadow(QFrame::Sunken);
  line->setGeometry(left, top, width, height);
}

}  // namespace

TExportWin::TExportWin(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint) {
  setObjectName(QStringLiteral("ExportWin"));
  setWindowTitle(QStringLiteral("ExportWin"));
  // An 8-point sans serif, the narrowest of the usual ones that is installed.
  QFont face = font();
  face.setFamilies({QStringLiteral("MS Sans Serif"), QStringLiteral("Tahoma"), QStringLiteral("Arial"),
                    QStringLiteral("Liberation Sans"), QStringLiteral("Nimbus Sans"), face.family()});
  face.setPointSize(8);
  setFont(face);

  // Designed values: those of a fresh ExportSettings.
  const ExportSettings designed;
  BuildLeftPart();
  BuildPanelMore();
  SetSettings(designed);

  // FormCreate: the narrow form.
  wide_ = false;
  PanelMore->hide();
  setFixedSize(kNarrowWidth, kClientHeight);
  SetOuterWidth(kNarrowWidth);
}

void TExportWin::BuildLeftPart() {
  NewLabel(this, "Format:", 8, 8, 54);
  FormatHTML = NewRadio(this, "FormatHTML", "HTML", 64, 8, 60, true);
  FormatASCII = NewRadio(this, "FormatASCII", "ASCII", 128, 8, 60, false);
  // The lists to paste, in the room right of "ASCII".
  FormatBBCode = NewRadio(this, "FormatBBCode", "Forum (BBCode)", 192, 8, 96, false);
  FormatMarkdown = NewRadio(this, "FormatMarkdown", "Markdown", 290, 8, 74, false);
  auto* formats = new QButtonGroup(this);
  // Checking a format, by a click or from code, gives the file name its extension.
  const std::pair<QRadioButton*, void (TExportWin::*)()> clicks[] = {
      {FormatHTML, &TExportWin::FormatHTMLClick},
      {FormatASCII, &TExportWin::FormatASCIIClick},
      {FormatBBCode, &TExportWin::FormatBBCodeClick},
      {FormatMarkdown, &TExportWin::FormatMarkdownClick}};
  for (const auto& [button, click] : clicks) {
    formats->addButton(button);
    connect(button, &QRadioButton::toggled, this, [this, click](bool on) {
      if (on) (this->*click)();
    });
  }

  QLabel* fileLabel = NewLabel(this, "Fichier:", 8, 37, 54);
  FileName = Place(new QLineEdit(this), "FileName", 64, 32, 217, 23);
  fileLabel->setBuddy(FileName);
  Parcourir = NewButton(this, "Parcourir", "Parcourir...", 288, 31);
  connect(Parcourir, &QPushButton::clicked, this, &TExportWin::ParcourirClick);
  NewLine(this, QFrame::HLine, 0, 63, kPanelMoreLeft, 2);

  NewLabel(this, "Objets affichés:", 8, 70, 200);
  ShowUniques = NewCheck(this, "ShowUniques", "Uniques", 8, 88, 90, true);
  ShowSets = NewCheck(this, "ShowSets", "Sets", 8, 104, 90, true);
  ShowRares = NewCheck(this, "ShowRares", "Rares", 104, 88, 84, true);
  ShowCrafted = NewCheck(this, "ShowCrafted", "Crafted", 104, 104, 84, true);
  ShowMagics = NewCheck(this, "ShowMagics", "Magiques", 192, 88, 100, true);
  ShowNormals = NewCheck(this, "ShowNormals", "Normaux", 192, 104, 100, true);
  MaskPrice0 = NewCheck(this, "MaskPrice0", "Masquer objets dont le prix est de 0", 8, 128, 353, false);
  NewLine(this, QFrame::HLine, 0, 151, kPanelMoreLeft, 2);

  // The three scopes form their own group of radio buttons.
  Panel1 = Place(new QWidget(this), "Panel1", 0, 156, kPanelMoreLeft, 72);
  ShowSelChar = NewRadio(Panel1, "ShowSelChar", "Personnage sélectionné", 8, 4, 168, false);
  ShowAllChar = NewRadio(Panel1, "ShowAllChar", "Tous les personnages", 8, 28, 168, true);
  ShowAll = NewRadio(Panel1, "ShowAll", "Tous les objets connus", 8, 52, 168, false);
  NewLine(this, QFrame::HLine, 0, 231, kPanelMoreLeft, 2);

  // Where the list goes and what it holds, beside the designed controls.
  NewLine(this, QFrame::VLine, 180, 156, 2, 72);
  CopyToClipboard = NewCheck(this, "CopyToClipboard", "Copier dans le presse-papiers", 188, 160, 176, false);
  NewOnly = NewCheck(this, "NewOnly", "Seulement les nouveaux objets depuis la dernière liste", 96, 69, 268, false);
  QWidget::setTabOrder(Parcourir, NewOnly);  // read with "Objets affichés:", before the qualities

  OK = NewButton(this, "OK", "OK", 8, 240);
  OK->setDefault(true);
  Cancel = NewButton(this, "Cancel", "Annuler", 88, 240);
  More = NewButton(this, "More", "Plus d'options >>", 264, 240, 99);
  connect(OK, &QPushButton::clicked, this, &QDialog::accept);
  connect(Cancel, &QPushButton::clicked, this, &QDialog::reject);  // Escape rejects too
  connect(More, &QPushButton::clicked, this, &TExportWin::MoreClick);
}

void TExportWin::BuildPanelMore() {
  PanelMore = Place(new QWidget(this), "PanelMore", kPanelMoreLeft, 0, kWideWidth - kPanelMoreLeft, kClientHeight);
  QWidget* p = PanelMore;
  NewLine(p, QFrame::VLine, 0, 0, 2, kClientHeight);

  // Left column: presentation.
  ShowPrice = NewCheck(p, "ShowPrice", "Afficher prix", 8, 8, 200, false);
  // Each label names its control for screen readers (its buddy).
  PTCol = NewSwatch(p, "PTCol", 200, 30, 0);
  NewLabel(p, "Couleur de fond des titres principaux:", 8, 32, 188)->setBuddy(PTCol);
  STCol = NewSwatch(p, "STCol", 200, 54, 0);
  NewLabel(p, "Couleur de fond des titres secondaires:", 8, 56, 188)->setBuddy(STCol);
  PageCol = NewSwatch(p, "PageCol", 200, 78, 0);
  NewLabel(p, "Couleur de fond de la page:", 8, 80, 188)->setBuddy(PageCol);
  TabCol = NewSwatch(p, "TabCol", 200, 102, 0);
  NewLabel(p, "Couleur de fond du tableau:", 8, 104, 188)->setBuddy(TabCol);
  for (ColourSwatch* swatch : {PTCol, STCol, PageCol, TabCol})
    connect(swatch, &ColourSwatch::clicked, this, [this, swatch] { ColPanelClick(swatch); });
  TabBorder = NewCheck(p, "TabBorder", "Afficher la bordure du tableau", 8, 128, 210, true);
  PageTitle = Place(new QLineEdit(p), "PageTitle", 40, 151, 177, 23);
  NewLabel(p, "Titre:", 8, 155, 30)->setBuddy(PageTitle);
  Sign = Place(new QLineEdit(p), "Sign", 72, 179, 145, 23);
  NewLabel(p, "Signature:", 8, 183, 62)->setBuddy(Sign);
  DoShellExec = NewCheck(p, "DoShellExec", "Afficher le résultat", 8, 208, 210, true);
  Default = NewButton(p, "Default", "Défaut", 8, 240);
  connect(Default, &QPushButton::clicked, this, &TExportWin::DefaultClick);
  Label9 = NewLabel(p, "Note: La plupart de ces options n'ont d'effet qu'en mode HTML", 88, 246, 332);
  Label9->setObjectName(QStringLiteral("Label9"));
  Label9->setToolTip(QString::fromUtf8(
      "Les listes Forum (BBCode) et Markdown suivent aussi le prix, le titre, la signature, la date de mise à jour, "
      "les caractéristiques et le tri ; les couleurs, la bordure et les objets intéressants sont propres à la page "
      "HTML."));
  NewLine(p, QFrame::VLine, 224, 0, 2, 232);

  // Right column: highlighting and sorting.
  IICol = NewSwatch(p, "IICol", 232, 30, 0);
  NewLabel(p, "Couleur de fond des objets intéressants:", 232, 8, 188)->setBuddy(IICol);
  connect(IICol, &ColourSwatch::clicked, this, [this] { ColPanelClick(IICol); });
  IIPrice = Place(new QSpinBox(p), "IIPrice", 328, 27, 57, 23);
  NewLabel(p, "(Prix minimum:", 256, 32, 70)->setBuddy(IIPrice);
  // No bounds: any 32-bit price may make an item interesting.
  IIPrice->setRange(std::numeric_limits<int>::min(), std::numeric_limits<int>::max());
  IIPrice->setSingleStep(1);
  NewLabel(p, ")", 392, 32, 20);
  UseBascule = NewCheck(p, "UseBascule", "Afficher caractéristiques (javascript)", 232, 56, 190, true);
  ShowMajDate = NewCheck(p, "ShowMajDate", "Afficher date de mise à jour", 232, 80, 190, true);
  NewLabel(p, "Trier selon:", 232, 103, 188);
  Panel2 = Place(new QWidget(p), "Panel2", 228, 118, 190, 54);
  TrierNo = NewRadio(Panel2, "TrierNo", "Pas de tri", 4, 2, 180, false);
  TrierName = NewRadio(Panel2, "TrierName", "Noms", 4, 18, 180, true);
  TrierPrice = NewRadio(Panel2, "TrierPrice", "Prix", 4, 34, 180, false);
  TrierSets = NewCheck(p, "TrierSets", "Tri spécial pour les sets", 232, 176, 190, true);
}

void TExportWin::SetOuterWidth(int outerWidth) {
  // The frame's width comes off the client area once the window manager tells it.
  kistora::ResizeOuter(*this, outerWidth, -1);
}

void TExportWin::resizeEvent(QResizeEvent* event) {
  QDialog::resizeEvent(event);
  PanelMore->setGeometry(kPanelMoreLeft, 0, std::max(0, width() - kPanelMoreLeft), kClientHeight);
}

void TExportWin::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  // Long texts show from their start, not from where the last edit left off.
  if (!event->spontaneous()) {
    for (QLineEdit* edit : {PageTitle, Sign}) edit->setCursorPosition(0);
  }
}

bool TExportWin::Execute() {
  kistora::CentreOver(*this, parentWidget());
  return exec() == QDialog::Accepted;
}

// ---- controls <-> settings ----

ExportSettings TExportWin::Settings() const {
  ExportSettings s;
  s.Format = CheckedFormat();
  s.FileName = Cp1252Text(FileName->text());
  s.ShowUniques = ShowUniques->isChecked();
  s.ShowSets = ShowSets->isChecked();
  s.ShowRares = ShowRares->isChecked();
  s.ShowCrafted = ShowCrafted->isChecked();
  s.ShowMagics = ShowMagics->isChecked();
  s.ShowNormals = ShowNormals->isChecked();
  s.MaskPrice0 = MaskPrice0->isChecked();
  s.Scope = ShowSelChar->isChecked()   ? ExportScope::SelectedChar
            : ShowAllChar->isChecked() ? ExportScope::AllChars
                                       : ExportScope::AllItems;
  s.ShowPrice = ShowPrice->isChecked();
  s.PTCol = PTCol->Colour();
  s.STCol = STCol->Colour();
  s.PageCol = PageCol->Colour();
  s.TabCol = TabCol->Colour();
  s.TabBorder = TabBorder->isChecked();
  s.PageTitle = Cp1252Text(PageTitle->text());
  s.Sign = Cp1252Text(Sign->text());
  s.DoShellExec = DoShellExec->isChecked();
  s.IICol = IICol->Colour();
  s.IIPrice = IIPrice->value();
  s.UseBascule = UseBascule->isChecked();
  s.ShowMajDate = ShowMajDate->isChecked();
  s.SortBy = TrierName->isChecked() ? ExportSort::Name : TrierPrice->isChecked() ? ExportSort::Price : ExportSort::None;
  s.TrierSets = TrierSets->isChecked();
  s.CopyToClipboard = CopyToClipboard->isChecked();
  s.NewOnly = NewOnly->isChecked();
  return s;
}

void TExportWin::SetSettings(const ExportSettings& s) {
  FormatButton(s.Format)->setChecked(true);
  FileName->setText(QtText(s.FileName));  // after the format, whose click rewrote the extension
  ShowUniques->setChecked(s.ShowUniques);
  ShowSets->setChecked(s.ShowSets);
  ShowRares->setChecked(s.ShowRares);
  ShowCrafted->setChecked(s.ShowCrafted);
  ShowMagics->setChecked(s.ShowMagics);
  ShowNormals->setChecked(s.ShowNormals);
  MaskPrice0->setChecked(s.MaskPrice0);
  (s.Scope == ExportScope::SelectedChar ? ShowSelChar
   : s.Scope == ExportScope::AllChars   ? ShowAllChar
                                        : ShowAll)
      ->setChecked(true);
  ApplyPresentation(s);
  (s.SortBy == ExportSort::Name ? TrierName : s.SortBy == ExportSort::Price ? TrierPrice : TrierNo)->setChecked(true);
  TrierSets->setChecked(s.TrierSets);
  CopyToClipboard->setChecked(s.CopyToClipboard);
  NewOnly->setChecked(s.NewOnly);
}

QRadioButton* TExportWin::FormatButton(ExportFormat format) const {
  switch (format) {
    case ExportFormat::Html:
      return FormatHTML;
    case ExportFormat::Ascii:
      return FormatASCII;
    case ExportFormat::BBCode:
      return FormatBBCode;
    case ExportFormat::Markdown:
      return FormatMarkdown;
  }
  return FormatHTML;
}

ExportFormat TExportWin::CheckedFormat() const {
  for (const ExportFormat format : {ExportFormat::Html, ExportFormat::BBCode, ExportFormat::Markdown}) {
    if (FormatButton(format)->isChecked()) return format;
  }
  return ExportFormat::Ascii;
}

void TExportWin::ApplyPresentation(const ExportSettings& s) {
  ShowPrice->setChecked(s.ShowPrice);
  PTCol->SetColour(s.PTCol);
  STCol->SetColour(s.STCol);
  PageCol->SetColour(s.PageCol);
  TabCol->SetColour(s.TabCol);
  TabBorder->setChecked(s.TabBorder);
  PageTitle->setText(QtText(s.PageTitle));
  Sign->setText(QtText(s.Sign));
  DoShellExec->setChecked(s.DoShellExec);
  IICol->SetColour(s.IICol);
  IIPrice->setValue(s.IIPrice);
  UseBascule->setChecked(s.UseBascule);
  ShowMajDate->setChecked(s.ShowMajDate);
}

// ---- handlers ----

void TExportWin::ChangeExtension(std::string_view extension) {
  // The rule works on bytes and only looks for "."; UTF-8 never hides a "."
  // inside a character, so the text is rewritten without any loss.
  const std::string rewritten = kistora::ChangeExportExtension(FileName->text().toStdString(), extension);
  FileName->setText(QString::fromStdString(rewritten));
}

void TExportWin::FormatHTMLClick() { ChangeExtension(kistora::ExportExtension(ExportFormat::Html)); }

void TExportWin::FormatASCIIClick() { ChangeExtension(kistora::ExportExtension(ExportFormat::Ascii)); }

void TExportWin::FormatBBCodeClick() { ChangeExtension(kistora::ExportExtension(ExportFormat::BBCode)); }

void TExportWin::FormatMarkdownClick() { ChangeExtension(kistora::ExportExtension(ExportFormat::Markdown)); }

void TExportWin::ParcourirClick() {
  kistora::SaveFileRequest request;
  request.Directory = QString::fromStdString(CurrentPlatform().DataDir);
  request.FileName = FileName->text();
  for (const char* filter : kSaveFilters) request.Filters << QString::fromUtf8(filter);
  request.SelectedFilter = request.Filters[kSelectedSaveFilter];
  // The chosen name is kept as chosen: its extension is not adjusted to the format.
  if (const std::optional<QString> chosen = PickSaveFile(this, request)) FileName->setText(*chosen);
}

void TExportWin::MoreClick() {
  SetOuterWidth(kWideWidth);
  wide_ = true;
  if (const QWidget* main = parentWidget()) {
    const QRect owner = kistora::OuterBounds(*main);
    const QRect self = kistora::OuterBounds(*this);
    // Both halvings truncate toward zero, as C++ division does.
    kistora::MoveOuter(*this, {owner.left() + owner.width() / 2 - self.width() / 2, self.top()});
  }
  PanelMore->show();
  More->hide();
  // Widened past the screen's edge, it comes back wholly onto the screen.
  kistora::KeepOnScreen(*this);
}

void TExportWin::ColPanelClick(ColourSwatch* swatch) {
  if (swatch == nullptr) return;
  if (const std::optional<kistora::TColor> chosen = PickColour(this, swatch->Colour())) swatch->SetColour(*chosen);
}

void TExportWin::DefaultClick() {
  // Only the presentation settings change; everything else stays as it is.
  ExportSettings s = Settings();
  kistora::RestorePresentationDefaults(s);
  ApplyPresentation(s);
}

// ---- the export ----

void TExportWin::ExportInventory(const kistora::TCatalogue& catalogue, int selectedRow) {
  if (!Execute()) return;
  QWidget* owner = parentWidget();
  const ExportSettings settings = Settings();
  if (settings.Scope == ExportScope::SelectedChar && selectedRow < 0) return;  // nothing, silently

  kistora::MessageService* messages = CurrentPlatform().Messages;
  // A name that Windows-1252 cannot spell would be written under another name
  // (its unknown characters as "?"): refuse it as a bad file name instead.
  const QString typed = FileName->text();
  if (QtText(settings.FileName) != typed) {
    if (messages) messages->FileError(owner, QtText(kistora::ExportErrorMessage(EINVAL)));
    return;
  }

  kistora::ExportOutputs outputs;
  outputs.File = kistora::ExportWritesFile(settings);
  outputs.MemoryPath = CurrentPlatform().DataDir + std::string(kistora::kExportMemoryFileName);
  if (settings.CopyToClipboard) {
    outputs.Deliver = [&settings](std::string_view list) {
      const std::string text = kistora::ExportListClipboardText(list, settings.Format);
      QGuiApplication::clipboard()->setText(QString::fromStdString(text));
      return true;
    };
  }
  const kistora::ExportResult result =
      kistora::RunExport(settings, catalogue, selectedRow, Now ? Now() : CurrentLocalTime(), outputs);
  switch (result.Status) {
    case kistora::ExportStatus::NoSelectedChar:
      return;
    case kistora::ExportStatus::Failed:
      if (messages) messages->FileError(owner, QtText(result.Message));
      return;
    case kistora::ExportStatus::Written:
      if (result.OpenWithShell && CurrentPlatform().Shell) {
        CurrentPlatform().Shell->Open(QFileInfo(QString::fromStdString(result.Path)).absoluteFilePath());
      }
      break;
  }
  // What the player is told: the copy, and a memory of the last lists that
  // could not be read or kept (the list itself is whole).
  QStringList told;
  if (settings.CopyToClipboard) told << QtText(kistora::ExportCopiedText(result.ItemCount));
  if (!result.MemoryProblem.empty()) told << QtText(result.MemoryProblem);
  if (messages && !told.isEmpty())
    messages->Message(owner, QStringLiteral("Kistora"), told.join(QStringLiteral("\n\n")));
}

void TExportWin::BindOptions(kistora::OptionBindings& b) {
  kistora::BindExportSettings(
      b, [this] { return Settings(); }, [this](const ExportSettings& s) { SetSettings(s); });
}
