// The program's windows, created once each in a fixed order and living until
// the end of the run (secondary windows are hidden, never destroyed, when closed).
#pragma once

class TMain;
class TPerso;
class TItemG;
class TItemP;
class TExportWin;
class TAbout;

struct KistoraWindows {
  TMain* Main = nullptr;
  TPerso* Perso = nullptr;
  TItemG* ItemG = nullptr;
  TItemP* ItemP = nullptr;
  TExportWin* ExportWin = nullptr;
  TAbout* About = nullptr;
};

// The windows of this run (all null before CreateWindows).
KistoraWindows& Windows();
// Creates Main, Perso, ItemG, ItemP, ExportWin, About in that order.
void CreateWindows();
// Destroys them (tests create and destroy several runs in one process).
void DestroyWindows();
