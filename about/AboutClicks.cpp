#include "about/AboutClicks.h"

namespace kistora {

QString AboutClickMessage(std::int32_t n) {
  static const char* const kFirstTen[] = {
      "Hé bien, qu'est-ce qui te prends?",
      "Je te sens exité...",
      "Mon programme te fait cet effet là?",
      "** WARNING - Your mouse button is damaged **",
      "Bon, j'abandonne ;)",
      "J'ai dit: j'abandonne!",
      "T'es du genre persévérant, dis-donc ;)",
      "D'acord, mais c'est la dernière fois!",
      "*sigh* Y'en a qu'ont du temps à perdre ;)",
      "Hé bien, t'as cliqué 100 fois!! Bien joué ;)",
  };
  if (n > 1000)
    return QString::fromUtf8("Ah non, j'ai arrêté de compter là ;) Je crois que t'as le droit de te reposer ;)");
  if (n <= 0 || n % 10 != 0) return {};
  if (n <= 100) return QString::fromUtf8(kFirstTen[n / 10 - 1]);
  if (n == 500) return QString::fromUtf8("Nombre de clics: 500!!!!!! Hé bien, quel courage ;) On tente le 1000? ;)");
  if (n == 1000)
    return QString::fromUtf8(
        "Nombre de clics: 1000!!!!!!!! Oui, MILLE!!!!!!![...]!!!! Incroyable!!!\r\n"
        "Je savais pas que c'était possible!! ;)\r\n"
        "Envoie moi un mail avec un screenshot, ça me fera plaisir ;)");
  const QString count = QStringLiteral("Nombre de clics: ") + QString::number(n);
  return count + (n < 200 ? QStringLiteral("!!") : QStringLiteral("!!!!!"));
}

}  // namespace kistora
