// Creation of the program's windows, once each, in order, and the wiring
// between them: who shows which window, where an item handed over goes, and
// whose controls the options file binds.
#include "app/Windows.h"

#include "about/AboutUnit.h"
#include "export/ExportUnit.h"
#include "gui/CatalogueSignals.h"
#include "gui/FolderWatch.h"
#include "gui/HistorySignals.h"
#include "gui/Platform.h"
#include "gui/WindowCare.h"
#include "history/HistoryUnit.h"
#include "history/MergeUnit.h"
#include "history/RestoreUnit.h"
#include "itemdb/ItemGUnit.h"
#include "itemdb/ItemPUnit.h"
#include "mainwindow/MainUnit.h"
#include "mainwindow/PersoUnit.h"
#include "merge/folder_sync.h"
#include "model/catalogue.h"
#include "model/catalogue_history.h"
#include "stats/StatsUnit.h"
#include "storage/catalogue_store.h"
#include "storage/sync_state.h"

KistoraWindows& Windows() {
  static KistoraWindows windows;
  return windows;
}

namespace {

// Every window binds its own keys of the options file.
kistora::OptionBindings BindAllWindowOptions(const KistoraWindows& w) {
  kistora::OptionBindings b;
  w.Main->BindOptions(b);
  w.Perso->BindOptions(b);
  w.ExportWin->BindOptions(b);
  w.ItemG->BindOptions(b);
  return b;
}

void Connect(KistoraWindows& w) {
  TMain* main = w.Main;
  main->UseDialogs(w.Perso, w.ItemP);
  w.ItemG->UseItemDialog(w.ItemP);
  w.ItemP->UseCatalogue(*w.Catalogue, *w.Changes);
  main->BindAllOptions = [&w] { return BindAllWindowOptions(w); };
  QObject::connect(main, &TMain::itemDatabaseRequested, w.ItemG, &TItemG::ShowAndRaise);
  // Items are about to be typed: the dialog counts the catalogue for completion meanwhile.
  QObject::connect(main, &TMain::itemDatabaseRequested, w.ItemP, &TItemP::PrepareCompletion);
  QObject::connect(main, &TMain::aboutRequested, w.About, &TAbout::ShowAndRaise);
  QObject::connect(main, &TMain::exportRequested, w.ExportWin,
                   [&w] { w.ExportWin->ExportInventory(*w.Catalogue, w.Main->SelectedCharRow()); });
  // The item goes to the main window's selected character; the item window then
  // says who received which item, however it was handed over (button or drop).
  QObject::connect(w.ItemG, &TItemG::addToCharRequested, main, [&w](std::int32_t number) {
    if (w.Main->AddItemToChar(number) < 0) w.ItemG->ShowNoCharSelected();
  });
  QObject::connect(main, &TMain::itemHandedOver, w.ItemG, &TItemG::ShowHandedOver);
  QObject::connect(w.ItemG, &TItemG::exportRequested, main, &TMain::ExportInvClick);
  QObject::connect(w.ItemG, &TItemG::quitRequested, main, &TMain::Quitter1Click);
  // The statistics count what the item window shows, and open over the window they were asked from.
  w.Stats->ShownFilter = [&w] { return w.ItemG->Filter(); };
  w.Stats->ShownItems = [&w] { return w.ItemG->ShownAt(); };
  QObject::connect(w.ItemG, &TItemG::filterChanged, w.Stats, &TStats::FilterChanged);
  QObject::connect(main, &TMain::statsRequested, w.Stats, [&w] { w.Stats->ShowOver(w.Main); });
  QObject::connect(w.ItemG, &TItemG::statsRequested, w.Stats, [&w] { w.Stats->ShowOver(w.ItemG); });
  // Taking changes back: the main window's menu, its keys in the other windows, the history window.
  main->UseHistory(w.HistoryChanges);
  w.ItemG->UseHistory(w.HistoryChanges);
  QObject::connect(main, &TMain::historyRequested, w.HistoryWin, &THistory::ShowAndRaise);
  QObject::connect(main, &TMain::restoreRequested, w.Restore, &TRestore::Execute);
  // A restored backup replaces the whole catalogue: the selected character and item stay selected.
  QObject::connect(w.Restore, &TRestore::aboutToRestore, main, &TMain::KeepSelection);
  QObject::connect(w.Restore, &TRestore::aboutToRestore, w.ItemG, &TItemG::KeepSelection);
  QObject::connect(w.Restore, &TRestore::restored, main, &TMain::SelectKept);
  QObject::connect(w.Restore, &TRestore::restored, w.ItemG, &TItemG::SelectKept);
  QObject::connect(w.HistoryWin, &THistory::goToRequested, main, &TMain::HistoryGoTo);
  QObject::connect(w.HistoryWin, &THistory::undoRequested, main, &TMain::UndoClick);
  QObject::connect(w.HistoryWin, &THistory::redoRequested, main, &TMain::RedoClick);
  QObject::connect(w.ItemG, &TItemG::undoRequested, main, &TMain::UndoClick);
  QObject::connect(w.ItemG, &TItemG::redoRequested, main, &TMain::RedoClick);
  // Other machines' changes: taken in once start-up is over (and before the
  // close writes), the windows keep their selection, the main window says
  // what came in.
  QObject::connect(main, &TMain::optionsRead, main, [&w] { w.Sync->RaiseLastItemIndex(); });
  QObject::connect(main, &TMain::startedUp, w.Watch, &kistora::FolderWatch::Start);
  QObject::connect(main, &TMain::closing, w.Watch, [&w] {
    if (w.Sync->HasNews(w.Sync->LookAtFolder())) w.Watch->TakeInNow();
  });
  QObject::connect(main, &TMain::saveHeldBack, w.Watch, [&w] { w.Watch->TakeInNow(); });
  QObject::connect(w.Watch, &kistora::FolderWatch::aboutToTakeIn, main, &TMain::KeepSelection);
  QObject::connect(w.Watch, &kistora::FolderWatch::aboutToTakeIn, w.ItemG, &TItemG::KeepSelection);
  QObject::connect(w.Watch, &kistora::FolderWatch::takenIn, main, [&w](const QString& summary) {
    w.Main->SelectKept();
    w.ItemG->SelectKept();
    w.Main->ShowLine(summary);
  });
  QObject::connect(w.Watch, &kistora::FolderWatch::trouble, main, &TMain::ShowLine);
  QObject::connect(main, &TMain::mergeRequested, w.Merge, [&w] { w.Merge->Execute(w.Main); });
}

}  // namespace

void CreateWindows() {
  KistoraWindows& w = Windows();
  w.Catalogue = new kistora::TCatalogue();
  w.Changes = new kistora::CatalogueSignals(*w.Catalogue);
  w.Store = new kistora::CatalogueStore(kistora::CurrentPlatform().DataDir, kistora::CurrentPlatform().Today);
  // Recording from the start; the load at the main window's creation makes it forget what came before.
  w.History = new kistora::CatalogueHistory(*w.Catalogue);
  w.HistoryChanges = new kistora::HistorySignals(*w.History);
  const kistora::Platform& platform = kistora::CurrentPlatform();
  w.Sync = new kistora::FolderSync(
      *w.Catalogue, *w.Store,
      kistora::SyncState(platform.StateDir.empty() ? kistora::StateDirOf(platform.DataDir, kistora::StateHome())
                                                   : platform.StateDir),
      w.History);
  // The main window loads the catalogue while it is created, before any other window exists.
  w.Main = new TMain(*w.Catalogue, *w.Changes, *w.Store);
  // What the files hold from now on is what other machines' changes are merged from; a
  // database changed on disk is taken in, never written over.
  w.Sync->Started();
  w.Store->HoldBackOutsideChanges(true);
  w.Watch = new kistora::FolderWatch(*w.Sync, w.Store->DataDir(), w.Main);
  w.Perso = new TPerso(*w.Catalogue, w.Main);
  // The item database window is an ordinary top-level window of its own, tied to
  // the main window so that it ends with it and never outlives the program.
  w.ItemG = new TItemG(*w.Catalogue, *w.Changes, w.Main);
  w.ItemP = new TItemP(w.Main);
  w.ExportWin = new TExportWin(w.Main);
  w.About = new TAbout(w.Main);
  w.Stats = new TStats(*w.Catalogue, *w.Changes, w.Main);
  w.HistoryWin = new THistory(*w.HistoryChanges, w.Main);
  w.Restore = new TRestore(*w.Catalogue, w.History, w.Main);
  w.Merge = new TMergeCatalogue(*w.Catalogue, w.History, w.Main);
  Connect(w);
  // Every window, these and any shown later: inputs named by their labels,
  // text fields that take only what the files hold, frames kept on the
  // screen, and dialogs that give the focus back to the window they came from.
  kistora::CareForWindows(*w.Main);
}

void DestroyWindows() {
  KistoraWindows& w = Windows();
  const auto destroy = [](auto*& object) {
    delete object;
    object = nullptr;
  };
  // Last created, first destroyed; the secondary windows are children of Main,
  // so they go before it. Then the store finishes a save as you go already
  // asked for and lets the catalogue go, and the history lets it go, which goes last.
  destroy(w.Merge);
  destroy(w.Restore);
  destroy(w.HistoryWin);
  destroy(w.Stats);
  destroy(w.About);
  destroy(w.ExportWin);
  destroy(w.ItemP);
  destroy(w.ItemG);
  destroy(w.Perso);
  destroy(w.Main);  // and the folder's watch with it
  w.Watch = nullptr;
  destroy(w.Sync);
  destroy(w.Store);
  destroy(w.HistoryChanges);
  destroy(w.History);
  destroy(w.Changes);
  destroy(w.Catalogue);
}
