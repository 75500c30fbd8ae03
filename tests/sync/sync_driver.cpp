// The windowed program (its real windows, on the offscreen platform) driven
// from standard input, for the test with a real sync engine:
//   edits SIDE   the same edits a player would make on one machine, through the
//                windows' operations: item 1 (side A) or 2 (B) renamed, item 3
//                renamed, a new item handed to a new character "Perso SIDE",
//                item 4 (A) or 5 (B) handed to the first character
//   idle         waits until every change is on disk
//   quit         closes the main window, as the player would
// Each command answers one line on standard output once done.
//
// Usage: sync_driver DATA_DIR
#include <unistd.h>

#include <QApplication>
#include <QSocketNotifier>
#include <cstdio>
#include <iostream>
#include <string>

#include "app/Windows.h"
#include "gui/DataFolderGuard.h"
#include "gui/Platform.h"
#include "mainwindow/MainUnit.h"
#include "model/catalogue.h"
#include "model/item_digest.h"
#include "storage/catalogue_store.h"
#include "storage/data_folder.h"
#include "storage/data_folder_lock.h"

namespace {

void Answer(const std::string& line) { std::cout << line << std::endl; }

void Rename(kistora::TCatalogue& catalogue, std::int32_t number, const std::string& name) {
  const kistora::TD2Item* item = catalogue.FindItem(number);
  if (item == nullptr) return;
  auto copy = kistora::CopyItem(*item, number);
  copy->Name = name;
  catalogue.ModifyItem(number, std::move(copy));
}

void Edits(const std::string& side) {
  TMain& main = *Windows().Main;
  kistora::TCatalogue& catalogue = main.Catalogue();
  const bool a = side == "A";
  Rename(catalogue, a ? 1 : 2, side + " change");
  Rename(catalogue, 3, side + " meme");
  auto item = std::make_unique<kistora::TD2Ring>();
  item->Name = side + " neuf";
  const std::int32_t number = catalogue.AddNewItem(std::move(item));
  auto character = std::make_unique<kistora::TChar>();
  character->Name = "Perso " + side;
  const int row = catalogue.AddChar(std::move(character));
  // Handed over as the item window's button does: to the main window's selected character.
  main.SelectCharRow(row);
  main.AddItemToChar(number);
  main.SelectCharRow(0);
  main.AddItemToChar(a ? 4 : 5);
  Answer("done " + std::to_string(number));
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fputs("usage: sync_driver DATA_DIR\n", stderr);
    return 64;
  }
  QApplication app(argc, argv);
  std::string error;
  const kistora::DataDirChoice folder = kistora::ResolveDataDir(argv[1], error);
  if (!error.empty()) return 2;
  kistora::CurrentPlatform().DataDir = folder.dir;
  kistora::DataFolderLock lock;
  if (!kistora::TakeDataFolder(lock, folder.dir)) return 75;
  CreateWindows();
  Windows().Main->show();

  QSocketNotifier input(STDIN_FILENO, QSocketNotifier::Read);
  QObject::connect(&input, &QSocketNotifier::activated, [&] {
    std::string command;
    if (!std::getline(std::cin, command)) {
      input.setEnabled(false);
      Windows().Main->close();
      return;
    }
    if (command.rfind("edits ", 0) == 0) {
      Edits(command.substr(6));
    } else if (command == "idle") {
      Windows().Store->WaitIdle();
      Answer("idle");
    } else if (command == "quit") {
      input.setEnabled(false);
      Answer(Windows().Main->close() ? "closed" : "still open");
    } else {
      Answer("unknown " + command);
    }
  });
  Answer("ready");
  const int result = QApplication::exec();
  DestroyWindows();
  return result;
}
