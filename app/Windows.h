// The program: its catalogue and its windows, created once each in a fixed order
// and living until the end of the run (secondary windows are hidden, never
// destroyed, when closed). This is the one place where the windows are wired to
// one another: each window is given what it works on and asks for the rest by
// signals, connected here.
#pragma once

#include <memory>

class TMain;
class TPerso;
class TItemG;
class TItemP;
class TExportWin;
class TAbout;
class TStats;
class THistory;
class TRestore;
class TMergeCatalogue;

namespace kistora {
class TCatalogue;
class CatalogueSignals;
class CatalogueStore;
class CatalogueHistory;
class HistorySignals;
class FolderSync;
class FolderWatch;
}  // namespace kistora

struct KistoraWindows {
  kistora::TCatalogue* Catalogue = nullptr;
  kistora::CatalogueSignals* Changes = nullptr;
  kistora::CatalogueStore* Store = nullptr;      // writes the catalogue into the data folder
  kistora::CatalogueHistory* History = nullptr;  // the catalogue's changes of this run, to take back
  kistora::HistorySignals* HistoryChanges = nullptr;
  kistora::FolderSync* Sync = nullptr;    // what other machines change in the data folder, taken in
  kistora::FolderWatch* Watch = nullptr;  // notices those changes and says what they brought
  TMain* Main = nullptr;
  TPerso* Perso = nullptr;
  TItemG* ItemG = nullptr;
  TItemP* ItemP = nullptr;
  TExportWin* ExportWin = nullptr;
  TAbout* About = nullptr;
  TStats* Stats = nullptr;
  THistory* HistoryWin = nullptr;
  TRestore* Restore = nullptr;
  TMergeCatalogue* Merge = nullptr;
};

// The windows of this run (all null before CreateWindows).
KistoraWindows& Windows();
// Creates the catalogue, its store on the data folder, its history and what keeps it in step with other
// machines, then Main (which loads it), Perso, ItemG, ItemP, ExportWin, About, then the statistics window,
// the history window, the restore dialog and the merge of another catalogue, in that order, and connects them.
void CreateWindows();
// Destroys them, then the catalogue (tests create and destroy several runs in one process).
void DestroyWindows();
