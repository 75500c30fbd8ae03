#include "commands.h"

#include <cstring>
#include <string_view>

namespace kistora::cli {

namespace {

constexpr CommandOption kCheckOptions[] = {{"--date", true}};
constexpr CommandOption kExportOptions[] = {
    {"--output", true}, {"--now", true}, {"--format", true}, {"--new-only", false}};
constexpr CommandOption kCsvOptions[] = {{"--output", true}};
constexpr CommandOption kImportOptions[] = {{"--dry-run", false}};
constexpr CommandOption kStatsOptions[] = {{"--json", false}};
constexpr CommandOption kRestoreOptions[] = {{"--date", true}, {"--dry-run", false}};
constexpr CommandOption kFindOptions[] = {{"--json", false}};
constexpr CommandOption kMergeOptions[] = {{"--base", true}, {"--dry-run", false}, {"--json", false}};

const Command kCommands[] = {
    {"check", CmdCheck, kCheckOptions, "[DOSSIER] [--date AAAA-MM-JJ]",
     "charge items.kdb et chars.kdb du dossier et donne leur résultat de chargement",
     "Une ligne par base : son résultat de chargement (0 correct, 1 signature fausse,\n"
     "2 version inconnue, 3 endommagée) et son nombre d'objets ou de personnages.\n"
     "N'écrit rien.\n\n"
     "  --date AAAA-MM-JJ  vérifie les sauvegardes de ce jour d'un dossier backups :\n"
     "                     items-AAAA-MM-JJ.kdb et chars-AAAA-MM-JJ.kdb\n"},
    {"dump",
     CmdDump,
     {},
     "[DOSSIER]",
     "écrit tout le catalogue du dossier en un objet JSON (UTF-8)",
     "Les objets et les personnages, champ par champ, avec le résultat de chargement\n"
     "de chaque base (null pour un fichier qui n'a pu être ouvert). N'écrit rien.\n"},
    {"resave",
     CmdResave,
     {},
     "[DOSSIER]",
     "réécrit les deux bases du dossier avec le code d'enregistrement du programme",
     "Seulement quand les deux bases se chargent sans erreur : rien d'endommagé n'est\n"
     "rendu définitif. Chaque fichier est remplacé d'un bloc, jamais à moitié écrit.\n"
     "Refusé (code 75) tant que le programme est ouvert sur le dossier ; copie les\n"
     "bases dans DOSSIER/backups au premier enregistrement du jour.\n"},
    {"export", CmdExport, kExportOptions,
     "[DOSSIER] [--format FORMAT] [--new-only] [--output FICHIER|-] [--now AAAA-MM-JJTHH:MM:SS]",
     "écrit la liste d'échange du dossier comme le fait l'export du programme",
     "Avec les réglages d'export de DOSSIER/kistora.ini (ceux d'origine s'il n'existe\n"
     "pas). Écrit le chemin du fichier créé ; ne l'ouvre jamais. Retient la liste\n"
     "comme dernière liste de son format dans DOSSIER/last-exports.txt, comme le\n"
     "programme.\n\n"
     "  --format FORMAT   html, ascii (texte simple), bbcode (forum) ou markdown ;\n"
     "                    l'extension du fichier des réglages suit, comme dans le\n"
     "                    programme. bbcode et markdown sont écrits en UTF-8\n"
     "  --new-only        seulement les objets ajoutés ou modifiés depuis la dernière\n"
     "                    liste de ce format\n"
     "  --output FICHIER  écrit dans FICHIER plutôt que dans le fichier des réglages ;\n"
     "                    --output - (ou - seul) écrit la liste sur la sortie standard :\n"
     "                    kistora-cli export --format bbcode - | xclip\n"
     "  --now DATE        date et heure inscrites dans la liste, au lieu de maintenant\n"},
    {"csv", CmdCsv, kCsvOptions, "[DOSSIER] [--output FICHIER]",
     "écrit la base d'objets en CSV pour un tableur (UTF-8, une colonne par champ)",
     "RFC 4180 : champs séparés par des virgules, CR LF, UTF-8 avec marque d'ordre des\n"
     "octets. Les propriétés magiques sont jointes par \" | \" (un \"|\" qu'elles\n"
     "contiennent est doublé). Sur la sortie standard sans --output. Un dossier sans\n"
     "items.kdb tient un catalogue vide : seule la ligne des noms de colonnes est écrite.\n\n"
     "  --output FICHIER  écrit dans FICHIER (l'ancien fichier reste entier jusqu'au bout)\n"},
    {"import-csv", CmdImportCsv, kImportOptions, "[DOSSIER] FICHIER [--dry-run]",
     "ajoute à la base d'objets les objets d'un fichier CSV, avec de nouveaux numéros",
     "Le fichier a la forme de celle qu'écrit la commande csv (virgules ou points-\n"
     "virgules). Toutes les lignes sont vérifiées d'abord ; chaque ligne incorrecte\n"
     "est signalée avec son numéro et sa raison, et rien n'est ajouté tant qu'il en\n"
     "reste une. La colonne Numéro est ignorée : chaque objet reçoit un nouveau\n"
     "numéro. Une colonne qui ne concerne pas la catégorie de l'objet (Défense d'un\n"
     "anneau, Dégâts d'un casque...) reste vide ou vaut 0. items.kdb est remplacé\n"
     "d'un bloc, jamais à moitié écrit ; dans un dossier sans chars.kdb, une base de\n"
     "personnages vide est créée à côté. Copie les bases dans DOSSIER/backups au\n"
     "premier enregistrement du jour. Refusé (code 75) tant que le programme est\n"
     "ouvert sur le dossier.\n\n"
     "  --dry-run  montre ce qui serait ajouté, sans rien écrire\n"},
    {"stats", CmdStats, kStatsOptions, "[DOSSIER] [--json]",
     "donne les statistiques de la base d'objets : par qualité, catégorie et personnage",
     "Les chiffres de la fenêtre Statistiques pour toute la base : nombre d'objets et\n"
     "valeur par qualité, par catégorie et par personnage (et « aucun perso » pour les\n"
     "objets que personne ne porte), puis le total, le prix moyen, le prix le plus haut\n"
     "et le nombre d'objets à prix 0. Un perso qui porte deux fois un objet le compte\n"
     "deux fois, comme son inventaire. Texte séparé par des tabulations, comme la copie\n"
     "de la fenêtre (Ctrl+C). N'écrit rien.\n\n"
     "  --json  les mêmes chiffres en un objet JSON (UTF-8)\n"},
    {"restore", CmdRestore, kRestoreOptions, "[DOSSIER] --date AAAA-MM-JJ [--dry-run]",
     "remet le catalogue d'une sauvegarde du jour de DOSSIER/backups à la place des bases",
     "Dit d'abord ce que cela change (objets et personnages ajoutés, supprimés,\n"
     "modifiés), puis remplace items.kdb et chars.kdb d'un bloc. Seulement quand les deux\n"
     "sauvegardes du jour se chargent sans erreur. Les numéros d'objets déjà donnés ne\n"
     "reviennent pas. Refusé (code 75) tant que le programme est ouvert sur le dossier :\n"
     "dans le programme, « Fichier › Restaurer une sauvegarde… » fait de même, et\n"
     "« Édition › Annuler » le défait.\n\n"
     "  --date AAAA-MM-JJ  le jour de la sauvegarde (items-AAAA-MM-JJ.kdb et chars-...)\n"
     "  --dry-run          montre ce qui changerait, sans rien écrire\n"},
    {"find", CmdFind, kFindOptions, "DOSSIER REQUÊTE... [--json]",
     "cherche les objets comme le champ de recherche du gestionnaire d'objets",
     "Tous les mots doivent se trouver dans l'objet (numéro, nom, notes, catégorie,\n"
     "qualité, propriétés magiques ; majuscules et accents ne comptent pas) et toutes\n"
     "les conditions être vraies. Une ligne par objet, par numéro : numéro, nom,\n"
     "qualité et prix, séparés par des tabulations. DOSSIER est obligatoire ici (ou\n"
     "--data-dir DOSSIER) : les autres arguments forment la requête. Mettez les\n"
     "conditions entre apostrophes : > et < sont des redirections pour le shell.\n\n"
     "  feu>=30         une propriété magique contient « feu » et un nombre >= 30\n"
     "  prix<1000       un champ comparé par >=, <=, >, < ou = : prix, niveau (clvl),\n"
     "                  force, dex, défense, blocage (parade), durabilité, durmax,\n"
     "                  dégâts (le maximum), dmgmin, dmgmax, numero\n"
     "  prix 100..500   entre deux valeurs, comprises\n"
     "  '\"force\">=10'   entre guillemets : cherché dans les propriétés magiques\n"
     "  perso:Mule01    détenu par ce perso ; libre : détenu par aucun perso\n\n"
     "Code de sortie : 0 un objet au moins trouvé, 1 aucun, 65 une condition est\n"
     "illisible (elle est citée, avec la raison).\n\n"
     "  --json  un tableau JSON (UTF-8) : numéro, nom, catégorie, qualité, prix et\n"
     "          détenteurs de chaque objet\n"},
    {"merge", CmdMerge, kMergeOptions, "DOSSIER AUTRE [--base BASE] [--dry-run] [--json]",
     "fusionne dans DOSSIER le catalogue d'AUTRE (un dossier, ou une base seule comme une copie de conflit)",
     "AUTRE est un dossier qui contient items.kdb et chars.kdb (ou l'un des deux), ou\n"
     "un seul de ces fichiers, par exemple la copie de conflit qu'un outil de\n"
     "synchronisation a laissée. Les objets sont reconnus par leur numéro, les persos\n"
     "par leur nom. Ce qui a changé d'un seul côté est repris ; ce qui a changé des\n"
     "deux côtés garde la version de DOSSIER, et l'autre est ajoutée sous un nouveau\n"
     "numéro avec « (conflit avec l'objet N) » dans ses notes. DOSSIER garde ses\n"
     "numéros. Sans --base, rien n'est supprimé. Seules les bases qui changent sont\n"
     "écrites (sauvegarde du jour d'abord, jamais à moitié). Dit ce qui a été ajouté,\n"
     "modifié, supprimé et mis en conflit.\n\n"
     "  --base BASE  la version commune dont les deux viennent (un dossier ou une base) :\n"
     "               ce qu'un côté a supprimé est alors supprimé\n"
     "  --dry-run    montre ce que la fusion ferait, sans rien écrire\n"
     "  --json       le même compte rendu en un objet JSON (UTF-8)\n\n"
     "Code de sortie : 0 fusionné (ou, avec --dry-run, fusionnable), 65 une entrée ne\n"
     "peut être lue en entier (rien n'est écrit), 75 le programme est ouvert sur DOSSIER.\n"},
};

bool StartsWithDash(std::string_view arg) { return arg.size() > 1 && arg[0] == '-'; }

}  // namespace

std::span<const Command> Commands() { return kCommands; }

std::optional<std::string> ParseCommandArgs(const Command& command, int argc, char** argv, CommandArgs& args) {
  args = CommandArgs{};
  args.command = command.name;
  bool optionsEnded = false;
  for (int i = 1; i < argc; ++i) {
    const std::string_view arg = argv[i];
    if (optionsEnded || !StartsWithDash(arg)) {
      args.operands.emplace_back(arg);
      continue;
    }
    if (arg == "--") {
      optionsEnded = true;
      continue;
    }
    if (arg == "--help" || arg == "-h") {
      args.help = true;
      return std::nullopt;
    }
    const CommandOption* known = nullptr;
    static constexpr CommandOption kDataDir = {"--data-dir", true};
    if (arg == kDataDir.name) known = &kDataDir;
    for (const CommandOption& option : command.options) {
      if (arg == option.name) known = &option;
    }
    if (known == nullptr) return args.command + " : option inconnue " + std::string(arg);
    const std::string name(arg);
    if (!known->takesValue) {
      args.flags.insert(name);
      continue;
    }
    if (args.values.count(name) != 0 || (known == &kDataDir && args.dataDir)) {
      return args.command + " : " + name + " donné deux fois";
    }
    if (i + 1 >= argc) return args.command + " : " + name + " attend une valeur";
    if (known == &kDataDir) {
      args.dataDir = argv[++i];
    } else {
      args.values[name] = argv[++i];
    }
  }
  return std::nullopt;
}

}  // namespace kistora::cli
