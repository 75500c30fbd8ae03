// The About box: name, purpose and version, the author's links, and a hidden
// click counter on the program's icon. Created once; closing only hides it.
#pragma once

#include <QDialog>
#include <cstdint>

class QFrame;
class QLabel;
class QPushButton;

class TAbout : public QDialog {
  Q_OBJECT
 public:
  explicit TAbout(QWidget* parent = nullptr);

  // Shows the box without making it modal and brings it to the front.
  void ShowAndRaise();
  // A press of any mouse button on the icon: counts it and shows its message, if any.
  void IconPicMouseDown();
  // The shell's "open" on "mailto:" + the e-mail, and on the web address.
  void Label5Click();
  void Label7Click();

  // Presses on the icon since the program started; never reset.
  std::int32_t ClickCount = 0;

  QLabel* IconPic = nullptr;
  QLabel* Label1 = nullptr;
  QLabel* Label8 = nullptr;
  QFrame* Panel1 = nullptr;
  QLabel* Label2 = nullptr;
  QLabel* Label3 = nullptr;
  QLabel* Label4 = nullptr;
  QLabel* Label5 = nullptr;
  QLabel* Label6 = nullptr;
  QLabel* Label7 = nullptr;
  QPushButton* OK = nullptr;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void showEvent(QShowEvent* event) override;
};
