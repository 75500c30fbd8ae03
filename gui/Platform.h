// The seams between the windows and the desktop: message boxes, the shell's
// "open", and the folder of the data files. The program installs the real ones;
// window tests install their own to answer message boxes and record shell calls.
#pragma once

#include <QString>
#include <functional>
#include <string>

class QWidget;

namespace kistora {

class MessageService {
 public:
  virtual ~MessageService() = default;
  // Error box: title "Erreur", one "OK" button.
  virtual void Error(QWidget* parent, const QString& text) = 0;
  // Confirmation box: title "Confirmation", "&Oui" (default) and "Annuler". True for Oui.
  virtual bool Confirm(QWidget* parent, const QString& text) = 0;
  // Plain message box with one "OK" button, titled title ("Kistora" for the program's own).
  virtual void Message(QWidget* parent, const QString& title, const QString& text) = 0;
  // A file that could not be read or written (the message already ends with its full stop):
  // an error box titled with the program's name, "Kistora", with one "OK" button.
  virtual void FileError(QWidget* parent, const QString& text) { Message(parent, "Kistora", text); }
};

class ShellService {
 public:
  virtual ~ShellService() = default;
  // The shell's "open" on a file name, a web address or a "mailto:" address; result ignored.
  virtual void Open(const QString& target) = 0;
};

struct Platform {
  MessageService* Messages = nullptr;
  ShellService* Shell = nullptr;
  // Folder of items.kdb, chars.kdb and kistora.ini, with its trailing "/" (ExeDir() by default).
  std::string DataDir;
  // The folder where the program keeps what it knows of DataDir outside of it
  // (see storage/sync_state.h); empty: the one of DataDir in the user's state folder.
  std::string StateDir;
  // This start made DataDir (an installed copy's first start): no file there can have been opened.
  bool DataDirCreated = false;
  // Today's local date as "YYYY-MM-DD", which names the day's backups (empty: the system clock's).
  std::function<std::string()> Today;
};

// The platform in use; starts with the real message boxes, QDesktopServices and ExeDir().
Platform& CurrentPlatform();

}  // namespace kistora
