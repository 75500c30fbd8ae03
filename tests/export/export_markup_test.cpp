// The lists to paste, on items whose texts hold markup of every kind: the forum
// list read by a strict markup parser, the Markdown list rendered by a real
// renderer (cmark-gfm, with GitHub's tables), each item checked where it must be.
#include <gtest/gtest.h>

#include <algorithm>
#include <regex>

#include "cli_run.h"
#include "export/markup_text.h"
#include "export_test_support.h"
#include "model/text_utils.h"

namespace kistora {
namespace {

using testing::AddItem;

// ExportCatalogue, and items whose texts try to break the markup around them.
TCatalogue HostileCatalogue() {
  TCatalogue c = testing::ExportCatalogue();
  auto& blade =
      AddItem<TD2Weapon>(c, 10, "Lame [b]gras[/b] | *\xE9toile* _x_ `code`", 5, -5, "note [/list] | \x80 ] *n* `c`");
  blade.MagicProps = {std::string(300, 'w') + " [color=red] | \x80", "[*]faux", ""};
  AddItem<TD2Ring>(c, 11, "  ", 2, 0, "\r\nligne");  // a blank name
  AddItem<TD2Amulet>(c, 12, "Amulette ]][[ \\ & <b> ~~x~~ # t", 3, 2147483647).MagicProps = {"<i>", "&amp;"};
  AddItem<TD2Jewel>(c, 13, "Joyau de Tal Rasha", 4, 0);
  AddItem<TD2Item>(c, 14, "Objet nu", 0, -2147483647 - 1);
  return c;
}

std::vector<ExportSettings> SettingsCases() {
  std::vector<ExportSettings> cases(4);
  for (ExportSettings& s : cases) {
    s.Scope = ExportScope::AllItems;
    s.PageTitle = "Titre [i] | *x*";
    s.Sign = "Sign\xE9 [url] | \x80";
  }
  cases[1].ShowPrice = true;
  cases[2].ShowPrice = true;
  cases[2].UseBascule = false;
  cases[2].SortBy = ExportSort::Price;
  cases[3].MaskPrice0 = true;
  cases[3].ShowMajDate = false;
  cases[3].SortBy = ExportSort::None;
  return cases;
}

// The exported items in the order written.
std::vector<const TD2Item*> Written(const ExportSettings& settings, const TCatalogue& catalogue) {
  const ExportSelection selection(settings, catalogue, -1);
  std::vector<const TD2Item*> items;
  for (int s = 0; s < 4; ++s) {
    for (const TD2Item* item : selection.SectionItems(s)) items.push_back(item);
  }
  return items;
}

bool Named(const TD2Item& item) { return !TrimSpaces(item.Name).empty(); }

std::string WithoutZeroWidthSpaces(std::string text) {
  for (std::size_t at; (at = text.find("\xE2\x80\x8B")) != std::string::npos;) text.erase(at, 3);
  return text;
}

// A forum post read as strictly as a forum reads it: every "[" that starts a
// tag-shaped text is a tag, which must be known and closed in order; "[*]" only
// right inside a list. Gives the problem, and each coloured span's colour and text.
std::string ReadForumPost(const std::string& text, std::vector<std::pair<std::string, std::string>>& spans) {
  static const std::regex kTag(R"(\[(/?)([a-z*]+)(=[^\]]*)?\])");
  static const std::regex kColour(R"(=#[0-9A-F]{6})");
  std::vector<std::string> open;
  std::string shown;
  for (std::size_t at = 0; at < text.size();) {
    std::smatch tag;
    const std::string rest = text.substr(at, 40);
    if (text[at] != '[' || !std::regex_search(rest, tag, kTag, std::regex_constants::match_continuous)) {
      shown += text[at++];
      continue;
    }
    at += tag.length();
    const std::string name = tag[2];
    if (name != "b" && name != "i" && name != "color" && name != "list" && name != "*") return "unknown tag " + name;
    if (name == "color" && tag[1].length() == 0 && !std::regex_match(tag[3].str(), kColour)) return "bad colour";
    if (name == "*") {
      if (open.empty() || open.back() != "list" || tag[1].length() != 0) return "[*] outside a list";
    } else if (tag[1].length() == 0) {
      open.push_back(name);
      if (name == "color") spans.push_back({tag[3].str().substr(1), {}});
      shown.clear();
    } else {
      if (open.empty() || open.back() != name) return "[/" + name + "] closes nothing open";
      open.pop_back();
      if (name == "b" && !open.empty() && open.back() == "color") spans.back().second = WithoutZeroWidthSpaces(shown);
    }
  }
  return open.empty() ? std::string() : "[" + open.back() + "] never closed";
}

// The text an item's name shows as: UTF-8, no zero-width space, controls as spaces.
std::string Shown(const TD2Item& item, const ExportSettings& settings) {
  return WithoutZeroWidthSpaces(BBCodeText(ListedName(item, settings.UseBascule)));
}

// The colours the guide gives, by quality code: normal grey, magic blue, rare
// olive yellow, crafted orange, set green, unique dark gold.
const char* const kGuideColours[] = {"#595959", "#2F4FD0", "#807500", "#B85000", "#1A7F1A", "#8B6508"};

TEST(ExportMarkup, ForumListIsWellFormedAndColoursEachNameByQuality) {
  const TCatalogue catalogue = HostileCatalogue();
  for (ExportSettings settings : SettingsCases()) {
    settings.Format = ExportFormat::BBCode;
    const std::string post = testing::Export(settings, catalogue);
    std::vector<std::pair<std::string, std::string>> spans;
    ASSERT_EQ(ReadForumPost(post, spans), "") << post;

    std::vector<std::pair<std::string, std::string>> expected;
    int priced = 0;
    for (const TD2Item* item : Written(settings, catalogue)) {
      if (Named(*item)) expected.push_back({kGuideColours[item->Quality], Shown(*item, settings)});
      priced += post.find("[*][b]" + IntToStr(item->Price) + "[/b]") != std::string::npos;
    }
    EXPECT_EQ(spans, expected);
    EXPECT_EQ(priced, settings.ShowPrice ? static_cast<int>(Written(settings, catalogue).size()) : 0);
    EXPECT_EQ(post.find("[*]w") != std::string::npos, settings.UseBascule) << "the long property line";
    EXPECT_NE(post.find("\xE2\x82\xAC"), std::string::npos) << "the euro sign in UTF-8";
  }
}

// The body cells of every rendered table, in order, tags and all.
std::vector<std::string> RenderedCells(const std::string& html) {
  static const std::regex kCell(R"(<td[^>]*>(.*)</td>)");
  std::vector<std::string> cells;
  for (std::sregex_iterator cell(html.begin(), html.end(), kCell), end; cell != end; ++cell)
    cells.push_back((*cell)[1]);
  return cells;
}

std::string HtmlEscaped(const std::string& text) {
  std::string out;
  for (const char c : text) out += c == '&' ? "&amp;" : c == '<' ? "&lt;" : c == '>' ? "&gt;" : std::string(1, c);
  return out;
}

TEST(ExportMarkup, MarkdownTablesRenderEachItemInItsCells) {
  const TCatalogue catalogue = HostileCatalogue();
  testing::TempDir dir;
  for (ExportSettings settings : SettingsCases()) {
    settings.Format = ExportFormat::Markdown;
    const std::string text = testing::Export(settings, catalogue);
    const std::size_t columns = settings.ShowPrice ? 5 : 4;
    for (std::size_t at = 0, end; (end = text.find("\r\n", at)) != std::string::npos; at = end + 2) {
      const std::string line = text.substr(at, end - at);
      if (!line.starts_with("|")) continue;
      const std::string unescaped = std::regex_replace(line, std::regex(R"(\\.)"), "");
      EXPECT_EQ(std::count(unescaped.begin(), unescaped.end(), '|'), static_cast<long>(columns + 1)) << line;
    }

    testing::WriteBytes(dir.File("list.md"), text);
    const testing::CliRun render = testing::RunCaptured("cmark-gfm -e table " + testing::Quote(dir.File("list.md")));
    ASSERT_EQ(render.status, 0)
        << "cmark-gfm is needed to render the Markdown list (scripts/deps.sh test installs it): " << render.err;
    const std::vector<std::string> cells = RenderedCells(render.out);
    const std::vector<const TD2Item*> items = Written(settings, catalogue);
    ASSERT_EQ(cells.size(), items.size() * columns) << render.out;
    for (std::size_t i = 0; i < items.size(); ++i) {
      const std::string* row = &cells[i * columns];
      const std::string bold =
          Named(*items[i]) ? "<strong>" + HtmlEscaped(Shown(*items[i], settings)) + "</strong>" : "";
      ASSERT_TRUE(row[0].starts_with(bold)) << row[0];
      const std::string rest = row[0].substr(bold.size());
      EXPECT_EQ(rest.find('<'), std::string::npos) << "no item text turns into markup: " << rest;
      EXPECT_EQ(rest.find("&lt;i&gt;") != std::string::npos, settings.UseBascule && items[i]->Index == 12) << rest;
      if (settings.ShowPrice) {
        EXPECT_EQ(row[3], IntToStr(items[i]->Price));
      }
      EXPECT_EQ(row[2], QualityLabel(items[i]->Quality));
      for (std::size_t c = 1; c < columns; ++c) EXPECT_EQ(row[c].find('<'), std::string::npos) << row[c];
    }
  }
}

}  // namespace
}  // namespace kistora
