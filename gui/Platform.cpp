// The real desktop seams: Qt message boxes with the program's French buttons,
// the shell's "open" through QDesktopServices, and the executable's folder.
#include "gui/Platform.h"

#include <QDesktopServices>
#include <QMessageBox>
#include <QPushButton>
#include <QUrl>

#include "model/text_utils.h"

namespace kistora {
namespace {

// Texts may carry CR LF line ends (as the program's messages do); a label wants LF.
QString ForDisplay(const QString& text) {
  QString shown = text;
  shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  return shown;
}

void ShowOkBox(QWidget* parent, QMessageBox::Icon icon, const QString& title, const QString& text) {
  QMessageBox box(icon, title, ForDisplay(text), QMessageBox::NoButton, parent);
  QPushButton* ok = box.addButton(QStringLiteral("OK"), QMessageBox::AcceptRole);
  box.setDefaultButton(ok);
  box.setEscapeButton(ok);
  box.exec();
}

class QtMessageService final : public MessageService {
 public:
  void Error(QWidget* parent, const QString& text) override {
    ShowOkBox(parent, QMessageBox::Critical, QStringLiteral("Erreur"), text);
  }

  bool Confirm(QWidget* parent, const QString& text) override {
    QMessageBox box(QMessageBox::Question, QStringLiteral("Confirmation"), ForDisplay(text), QMessageBox::NoButton,
                    parent);
    QPushButton* yes = box.addButton(QStringLiteral("&Oui"), QMessageBox::YesRole);
    QPushButton* cancel = box.addButton(QStringLiteral("Annuler"), QMessageBox::RejectRole);
    box.setDefaultButton(yes);
    // Escape and the close box both answer "Annuler".
    box.setEscapeButton(cancel);
    box.exec();
    return box.clickedButton() == yes;
  }

  void Message(QWidget* parent, const QString& title, const QString& text) override {
    ShowOkBox(parent, QMessageBox::Information, title, text);
  }

  void FileError(QWidget* parent, const QString& text) override {
    ShowOkBox(parent, QMessageBox::Critical, QStringLiteral("Kistora"), text);
  }
};

class DesktopShellService final : public ShellService {
 public:
  void Open(const QString& target) override {
    // Web and mail addresses go as they are; anything else is a file name.
    const QUrl url(target);
    const bool isAddress =
        target.startsWith(QStringLiteral("mailto:"), Qt::CaseInsensitive) || target.contains(QStringLiteral("://"));
    QDesktopServices::openUrl(isAddress && url.isValid() ? url : QUrl::fromLocalFile(target));
  }
};

}  // namespace

Platform& CurrentPlatform() {
  static QtMessageService messages;
  static DesktopShellService shell;
  static Platform platform{&messages, &shell, ExeDir(), {}, false, {}};
  return platform;
}

}  // namespace kistora
