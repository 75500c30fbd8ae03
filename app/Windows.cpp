// Creation of the program's windows, once each, in the order in which each
// may rely on the ones before it (the main window's catalogue first).
#include "app/Windows.h"

#include "about/AboutUnit.h"
#include "app/MainUnit.h"
#include "app/PersoUnit.h"
#include "export/ExportUnit.h"
#include "itemdb/ItemGUnit.h"
#include "itemdb/ItemPUnit.h"

KistoraWindows& Windows() {
  static KistoraWindows windows;
  return windows;
}

void CreateWindows() {
  KistoraWindows& w = Windows();
  // The main window loads the catalogue while it is created, before any other
  // window exists; the later windows may read its members in their constructors.
  w.Main = new TMain();
  w.Perso = new TPerso(w.Main);
  // The item database window is an ordinary top-level window of its own, tied to
  // the main window so that it ends with it and never outlives the program.
  w.ItemG = new TItemG(nullptr);
  w.ItemG->setParent(w.Main, w.ItemG->windowFlags() | Qt::Window);
  w.ItemP = new TItemP(w.Main);
  w.ExportWin = new TExportWin(w.Main);
  w.About = new TAbout(w.Main);
}

void DestroyWindows() {
  KistoraWindows& w = Windows();
  // Last created, first destroyed; the secondary windows are children of Main,
  // so they go before it.
  delete w.About;
  w.About = nullptr;
  delete w.ExportWin;
  w.ExportWin = nullptr;
  delete w.ItemP;
  w.ItemP = nullptr;
  delete w.ItemG;
  w.ItemG = nullptr;
  delete w.Perso;
  w.Perso = nullptr;
  delete w.Main;
  w.Main = nullptr;
}
