#include "storage/items_csv.h"

#include <array>
#include <functional>
#include <limits>
#include <optional>

#include "model/cp1252.h"
#include "model/text_utils.h"
#include "storage/safe_file.h"

namespace kistora {
namespace {

constexpr std::string_view kBom = "\xEF\xBB\xBF";
constexpr std::string_view kPropSeparator = " | ";

enum Column {
  kNumber,
  kCategory,
  kName,
  kNotes,
  kQuality,
  kPrice,
  kCLvl,
  kStr,
  kDex,
  kDur,
  kMaxDur,
  kDef,
  kParade,
  kMinDmg,
  kMaxDmg,
  kSpeed,
  kMagicProps,
  kColumnCount
};

// ---- Writing ----

std::string Quoted(std::string_view cp1252) {
  std::string out = "\"";
  for (const char c : Cp1252ToUtf8(cp1252)) {
    if (c == '"') out += '"';
    out += c;
  }
  return out + "\"";
}

// Lines joined by " | ", every "|" inside a line doubled so that no line can
// be cut in two on reading. (A list of one empty line reads back as no line.)
std::string JoinProps(const PropertyLines& props) {
  std::string joined;
  bool first = true;
  for (const std::string_view line : props) {
    if (!first) joined += kPropSeparator;
    first = false;
    for (const char c : line) joined += c == '|' ? std::string("||") : std::string(1, c);
  }
  return joined;
}

// A known code as its label (what a spreadsheet reader understands), any other as its number.
std::string QualityText(int code) {
  const std::string label = QualityLabel(code);
  return label.empty() ? IntToStr(code) : label;
}
std::string SpeedText(std::int32_t code) {
  return code >= 0 && code < static_cast<std::int32_t>(kSpeedLabels.size()) ? kSpeedLabels[code] : IntToStr(code);
}

std::string ItemLine(const TD2Item& item) {
  std::array<std::string, kColumnCount> fields;
  fields[kNumber] = IntToStr(item.Index);
  fields[kCategory] = Quoted(DialogCategoryLabel(item));
  fields[kName] = Quoted(item.Name);
  fields[kNotes] = Quoted(item.Notes);
  fields[kQuality] = Quoted(QualityText(item.Quality));
  fields[kPrice] = IntToStr(item.Price);
  fields[kCLvl] = IntToStr(item.CLvl);
  fields[kStr] = IntToStr(item.Str);
  fields[kDex] = IntToStr(item.Dex);
  fields[kDur] = IntToStr(item.Dur);
  fields[kMaxDur] = IntToStr(item.MaxDur);
  if (const auto* def = dynamic_cast<const TD2DefItem*>(&item)) fields[kDef] = IntToStr(def->Def);
  if (const auto* shield = dynamic_cast<const TD2Shield*>(&item)) fields[kParade] = IntToStr(shield->Parade);
  if (const auto* weapon = dynamic_cast<const TD2Weapon*>(&item)) {
    fields[kMinDmg] = IntToStr(weapon->MinDmg);
    fields[kMaxDmg] = IntToStr(weapon->MaxDmg);
    fields[kSpeed] = Quoted(SpeedText(weapon->Speed));
  }
  fields[kMagicProps] = Quoted(JoinProps(item.MagicProps));
  std::string line;
  for (std::size_t i = 0; i < fields.size(); ++i) {
    if (i > 0) line += ',';
    line += fields[i];
  }
  return line + "\r\n";
}

// ---- Splitting the file into records ----

struct Record {
  int line = 0;  // physical line where the record starts
  std::vector<std::string> fields;
  std::string error;  // set when the record breaks the CSV rules
};

class RecordSplitter {
 public:
  RecordSplitter(std::string_view text, char separator) : text_(text), separator_(separator) {}

  bool AtEnd() const { return pos_ >= text_.size(); }

  Record Next() {
    Record record;
    record.line = line_;
    record.fields.emplace_back();
    while (!AtEnd()) {
      const char c = text_[pos_];
      if (c == '\r' || c == '\n') {
        EndLine();
        return record;
      }
      if (c == separator_) {
        ++pos_;
        record.fields.emplace_back();
      } else if (c == '"' && record.fields.back().empty() && !inField_) {
        if (!ReadQuoted(record)) return record;
      } else if (c == '"') {
        record.error = "guillemet (\") au milieu d'un champ qui ne commence pas par un guillemet";
        SkipLine();
        return record;
      } else {
        record.fields.back() += c;
        ++pos_;
        inField_ = true;
        continue;
      }
      inField_ = false;
    }
    return record;
  }

 private:
  // Reads "...", with "" for one quote; false (after recording the error) when it cannot.
  bool ReadQuoted(Record& record) {
    const int startLine = line_;
    ++pos_;
    std::string& field = record.fields.back();
    for (;;) {
      if (AtEnd()) {
        record.error = "guillemet ouvert ligne " + IntToStr(startLine) + " jamais referm\xE9";
        return false;
      }
      const char c = text_[pos_++];
      if (c == '"') {
        if (pos_ < text_.size() && text_[pos_] == '"') {
          field += '"';
          ++pos_;
          continue;
        }
        break;
      }
      if (c == '\n') ++line_;
      field += c;
    }
    if (AtEnd() || text_[pos_] == separator_ || text_[pos_] == '\r' || text_[pos_] == '\n') return true;
    record.error = "texte apr\xE8s le guillemet fermant d'un champ";
    SkipLine();
    return false;
  }

  void EndLine() {
    if (text_[pos_] == '\r' && pos_ + 1 < text_.size() && text_[pos_ + 1] == '\n') ++pos_;
    ++pos_;
    ++line_;
    inField_ = false;
  }

  void SkipLine() {
    while (!AtEnd() && text_[pos_] != '\r' && text_[pos_] != '\n') ++pos_;
    if (!AtEnd()) EndLine();
    inField_ = false;
  }

  std::string_view text_;
  char separator_;
  std::size_t pos_ = 0;
  int line_ = 1;
  bool inField_ = false;  // characters of an unquoted field have been read
};

// Commas unless the header line separates its names with semicolons.
char SeparatorOf(std::string_view text) {
  for (const char c : text) {
    if (c == ',' || c == '\r' || c == '\n') return ',';
    if (c == ';') return ';';
  }
  return ',';
}

// ---- Turning a record into an item ----

std::string Guillemets(std::string_view cp1252) { return "\xAB " + std::string(cp1252) + " \xBB"; }

class ItemBuilder {
 public:
  explicit ItemBuilder(const Record& record) : record_(record) {}

  // The item, or nullopt with the reasons added to problems.
  std::unique_ptr<TD2Item> Build(std::vector<CsvProblem>& problems) {
    const std::size_t count = record_.fields.size();
    if (count != kColumnCount) {
      Problem(IntToStr(kColumnCount) + " colonnes attendues, " + IntToStr(static_cast<std::int64_t>(count)) +
              " trouv\xE9" + "es");
    } else {
      for (std::size_t i = 0; i < count; ++i) texts_[i] = Text(static_cast<Column>(i));
      item_ = MakeItem();
      if (item_) FillFields();
    }
    for (std::string& reason : reasons_) problems.push_back({record_.line, std::move(reason)});
    return reasons_.empty() ? std::move(item_) : nullptr;
  }

 private:
  void Problem(std::string reason) { reasons_.push_back(std::move(reason)); }

  static std::string ColumnName(Column column) { return "colonne " + ItemsCsvColumns()[column]; }

  // The field in Windows-1252; a character it cannot spell is a problem, not a silent "?".
  std::string Text(Column column) {
    const std::string& utf8 = record_.fields[column];
    std::string cp1252 = Utf8ToCp1252(utf8);
    if (Cp1252ToUtf8(cp1252) != utf8) {
      Problem(ColumnName(column) + " : caract\xE8re impossible \xE0 \xE9" + "crire en Windows-1252 (" +
              "UTF-8 invalide ou hors de cet alphabet)");
    }
    return cp1252;
  }

  std::unique_ptr<TD2Item> MakeItem() {
    const std::string& label = texts_[kCategory];
    if (label.empty()) return std::make_unique<TD2Item>();
    if (label == "Joyau") return std::make_unique<TD2Jewel>();
    auto item = CreateItemFromDialogLabel(label);
    if (!item) Problem("cat\xE9gorie inconnue " + Guillemets(label));
    return item;
  }

  // An empty cell counts as 0, as in a new item.
  std::int32_t Number(Column column) {
    std::int32_t value = 0;
    const std::string& text = texts_[column];
    if (!text.empty() && !TryStrToInt(text, value)) {
      Problem(ColumnName(column) + " : nombre entier attendu, pas " + Guillemets(text));
    }
    return value;
  }

  // A label of labels, or its code as a number from minimum to maximum.
  std::int32_t Code(Column column, const char* const* labels, std::size_t labelCount, std::int32_t minimum,
                    std::int32_t maximum) {
    const std::string& text = texts_[column];
    if (text.empty()) return 0;
    for (std::size_t i = 0; i < labelCount; ++i) {
      if (text == labels[i]) return static_cast<std::int32_t>(i);
    }
    std::int32_t value = 0;
    if (TryStrToInt(text, value) && value >= minimum && value <= maximum) return value;
    Problem(ColumnName(column) + " : valeur inconnue " + Guillemets(text));
    return 0;
  }

  // A column the item's category does not have stays empty, or holds 0 (as
  // a spreadsheet fills a column of numbers); any other value is refused.
  void MustBeEmpty(Column column) {
    std::int32_t value = 0;
    if (texts_[column].empty() || (TryStrToInt(texts_[column], value) && value == 0)) return;
    const std::string category = DialogCategoryLabel(*item_);
    Problem(ColumnName(column) + " : sans objet pour " +
            (category.empty() ? std::string("un objet sans cat\xE9gorie") : "la cat\xE9gorie " + category) +
            ", elle doit rester vide ou valoir 0");
  }

  void FillFields() {
    TD2Item& item = *item_;
    item.Name = texts_[kName];
    item.Notes = texts_[kNotes];
    static constexpr std::array<const char*, 6> kQualityByCode = {"Normal",  "Magique", "Rare",
                                                                  "Crafted", "Set",     "Unique"};
    item.Quality = static_cast<std::uint8_t>(Code(kQuality, kQualityByCode.data(), kQualityByCode.size(), 0, 255));
    item.Price = Number(kPrice);
    item.CLvl = Number(kCLvl);
    item.Str = Number(kStr);
    item.Dex = Number(kDex);
    item.Dur = Number(kDur);
    item.MaxDur = Number(kMaxDur);
    auto* def = dynamic_cast<TD2DefItem*>(&item);
    auto* shield = dynamic_cast<TD2Shield*>(&item);
    auto* weapon = dynamic_cast<TD2Weapon*>(&item);
    if (def) {
      def->Def = Number(kDef);
    } else {
      MustBeEmpty(kDef);
    }
    if (shield) {
      shield->Parade = Number(kParade);
    } else {
      MustBeEmpty(kParade);
    }
    if (weapon) {
      weapon->MinDmg = Number(kMinDmg);
      weapon->MaxDmg = Number(kMaxDmg);
      weapon->Speed = Code(kSpeed, kSpeedLabels.data(), kSpeedLabels.size(), std::numeric_limits<std::int32_t>::min(),
                           std::numeric_limits<std::int32_t>::max());
    } else {
      for (Column column : {kMinDmg, kMaxDmg, kSpeed}) MustBeEmpty(column);
    }
    item.MagicProps = SplitProps(texts_[kMagicProps]);
  }

  // The reverse of JoinProps: " | " separates lines, "||" is one "|", and a
  // lone "|" typed in a spreadsheet is kept as it is.
  static std::vector<std::string> SplitProps(const std::string& joined) {
    std::vector<std::string> props;
    if (joined.empty()) return props;
    props.emplace_back();
    for (std::size_t i = 0; i < joined.size(); ++i) {
      if (joined.compare(i, 2, "||") == 0) {
        props.back() += '|';
        ++i;
      } else if (joined.compare(i, kPropSeparator.size(), kPropSeparator) == 0) {
        props.emplace_back();
        i += kPropSeparator.size() - 1;
      } else {
        props.back() += joined[i];
      }
    }
    return props;
  }

  const Record& record_;
  std::array<std::string, kColumnCount> texts_;
  std::unique_ptr<TD2Item> item_;
  std::vector<std::string> reasons_;
};

void CheckHeader(const Record& header, std::vector<CsvProblem>& problems) {
  std::vector<std::string> names;
  for (const std::string& field : header.fields) names.push_back(Utf8ToCp1252(field));
  if (names == ItemsCsvColumns()) return;
  std::string expected;
  for (const std::string& name : ItemsCsvColumns()) expected += (expected.empty() ? "" : ", ") + name;
  problems.push_back({header.line, "en-t\xEAte inattendu ; la premi\xE8re ligne doit nommer les colonnes " + expected});
}

}  // namespace

const std::vector<std::string>& ItemsCsvColumns() {
  static const std::vector<std::string> kColumns = {"Num\xE9ro",
                                                    "Cat\xE9gorie",
                                                    "Nom",
                                                    "Notes",
                                                    "Qualit\xE9",
                                                    "Prix estim\xE9",
                                                    "CLvl requis",
                                                    "Force requise",
                                                    "Dext\xE9rit\xE9 requise",
                                                    "Durabilit\xE9",
                                                    "Durabilit\xE9 maximum",
                                                    "D\xE9"
                                                    "fense",
                                                    "Parade",
                                                    "D\xE9g\xE2ts min",
                                                    "D\xE9g\xE2ts max",
                                                    "Vitesse",
                                                    "Propri\xE9t\xE9s magiques"};
  return kColumns;
}

std::string ItemsToCsv(const TCatalogue& catalogue) {
  std::string out(kBom);
  for (std::size_t i = 0; i < ItemsCsvColumns().size(); ++i) {
    if (i > 0) out += ',';
    out += Cp1252ToUtf8(ItemsCsvColumns()[i]);
  }
  out += "\r\n";
  for (const auto& item : catalogue.ItemList) out += ItemLine(*item);
  return out;
}

void SaveItemsCsv(const TCatalogue& catalogue, const std::string& path) {
  SafeFileWriter file(path);
  file.Write(ItemsToCsv(catalogue));
  file.Commit();
}

CsvItems ItemsFromCsv(std::string_view bytes) {
  CsvItems result;
  if (bytes.substr(0, kBom.size()) == kBom) bytes.remove_prefix(kBom.size());
  RecordSplitter splitter(bytes, SeparatorOf(bytes));
  bool headerSeen = false;
  while (!splitter.AtEnd()) {
    const Record record = splitter.Next();
    if (record.error.empty() && record.fields.size() == 1 && record.fields[0].empty()) continue;  // empty line
    if (!record.error.empty()) {
      result.problems.push_back({record.line, record.error});
    } else if (!headerSeen) {
      CheckHeader(record, result.problems);
    } else if (auto item = ItemBuilder(record).Build(result.problems)) {
      result.items.push_back(std::move(item));
    }
    headerSeen = true;
  }
  if (!headerSeen) result.problems.push_back({1, "fichier vide : ni en-t\xEAte ni objet"});
  if (!result.problems.empty()) result.items.clear();  // all or nothing
  return result;
}

void AddWithNewNumbers(TCatalogue& catalogue, std::vector<std::unique_ptr<TD2Item>> items) {
  // Through the operation, so that the windows, the saves and the history follow an import too.
  for (auto& item : items) catalogue.AddNewItem(std::move(item));
}

}  // namespace kistora
