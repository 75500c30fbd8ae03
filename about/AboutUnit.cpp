#include "about/AboutUnit.h"

#include <QApplication>
#include <QFile>
#include <QFrame>
#include <QIcon>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QShowEvent>
#include <algorithm>
#include <limits>

#include "about/AboutClicks.h"
#include "gui/AppIcon.h"
#include "gui/Platform.h"
#include "gui/WindowPlacement.h"

namespace {

const char kAuthor[] = "Kistora project";
const char kEmail[] = "kistora@example.org";
const char kWebPage[] = "https://example.org/kistora";

constexpr int kDesignedWidth = 368;
constexpr int kDesignedHeight = 176;

QLabel* PlacedLabel(QWidget* parent, const QString& text, int left, int top) {
  auto* label = new QLabel(text, parent);
  label->move(left, top);
  label->adjustSize();
  return label;
}

void MakeLink(QLabel* label) {
  label->setStyleSheet(QStringLiteral("color: blue; text-decoration: underline;"));
  label->setCursor(Qt::PointingHandCursor);
  label->adjustSize();
}

}  // namespace

TAbout::TAbout(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint) {
  setObjectName(QStringLiteral("About"));
  setWindowTitle(QStringLiteral("A propos de Kistora"));

  IconPic = new QLabel(this);
  IconPic->setObjectName(QStringLiteral("IconPic"));
  IconPic->setGeometry(8, 8, 32, 32);
  QIcon icon = QApplication::windowIcon();
  if (icon.isNull()) icon = kistora::KistoraIcon();
  IconPic->setPixmap(icon.pixmap(32, 32));
  IconPic->installEventFilter(this);

  Label1 =
      PlacedLabel(this, QStringLiteral("Kistora - Gestion d'inventaire pour Diablo II - Lord of Destruction"), 56, 10);
  Label8 = PlacedLabel(this, QStringLiteral("Version 1.0"), 56, 24);

  // The designed width, grown only when the fonts make the title longer.
  const int width = std::max(kDesignedWidth, Label1->x() + Label1->width() + 8);

  Panel1 = new QFrame(this);
  Panel1->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  Panel1->setLineWidth(2);
  Panel1->setGeometry(8, 48, width - 15, 81);
  Label2 = PlacedLabel(Panel1, QStringLiteral("Auteur:"), 8, 8);
  Label3 = PlacedLabel(Panel1, QString::fromUtf8(kAuthor), 64, 8);
  Label4 = PlacedLabel(Panel1, QStringLiteral("E-mail:"), 8, 32);
  Label5 = PlacedLabel(Panel1, QString::fromUtf8(kEmail), 64, 32);
  Label6 = PlacedLabel(Panel1, QStringLiteral("Web:"), 8, 56);
  Label7 = PlacedLabel(Panel1, QString::fromUtf8(kWebPage), 64, 56);
  for (QLabel* link : {Label5, Label7}) {
    MakeLink(link);
    link->installEventFilter(this);
  }

  OK = new QPushButton(QStringLiteral("OK"), this);
  OK->setObjectName(QStringLiteral("OK"));
  OK->setGeometry((width - 75) / 2, 144, 75, 25);
  OK->setDefault(true);
  connect(OK, &QPushButton::clicked, this, &QDialog::close);

  setFixedSize(width, kDesignedHeight);
}

void TAbout::ShowAndRaise() {
  // Where the player finds the databases and their backups.
  setToolTip(QString::fromUtf8("Dossier des données : ") +
             QFile::decodeName(kistora::CurrentPlatform().DataDir.c_str()));
  show();
  raise();
  activateWindow();
}

void TAbout::IconPicMouseDown() {
  if (ClickCount < std::numeric_limits<std::int32_t>::max()) ++ClickCount;
  const QString message = kistora::AboutClickMessage(ClickCount);
  if (!message.isEmpty()) kistora::CurrentPlatform().Messages->Message(this, QStringLiteral("Kistora"), message);
}

void TAbout::Label5Click() { kistora::CurrentPlatform().Shell->Open(QStringLiteral("mailto:") + Label5->text()); }

void TAbout::Label7Click() { kistora::CurrentPlatform().Shell->Open(Label7->text()); }

bool TAbout::eventFilter(QObject* watched, QEvent* event) {
  // The second press of a quick double click reaches a widget as a double-click
  // event instead of a press (the press itself is not delivered): both count.
  if (watched == IconPic &&
      (event->type() == QEvent::MouseButtonPress || event->type() == QEvent::MouseButtonDblClick)) {
    IconPicMouseDown();
    return true;
  }
  if ((watched == Label5 || watched == Label7) && event->type() == QEvent::MouseButtonRelease) {
    // A click is a left press released over the link.
    auto* mouse = static_cast<QMouseEvent*>(event);
    auto* label = static_cast<QLabel*>(watched);
    if (mouse->button() == Qt::LeftButton && label->rect().contains(mouse->position().toPoint())) {
      if (watched == Label5)
        Label5Click();
      else
        Label7Click();
      return true;
    }
  }
  return QDialog::eventFilter(watched, event);
}

void TAbout::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  kistora::KeepPositionAfterFirstShow(*this, *event);
}
