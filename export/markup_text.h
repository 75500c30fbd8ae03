// Item texts made safe for the lists players paste into forums and chats: UTF-8
// (what forums and chats take), control characters as spaces, so that no text
// can break its line, and every character that could start markup escaped, so
// that what a player typed is shown as typed and never turns into markup.
#pragma once

#include <string>
#include <string_view>

namespace kistora {

// For forum markup: "[" is followed by a zero-width space, so no text can open
// or close a tag ("[b]" shows as typed and is no tag to any forum).
std::string BBCodeText(std::string_view cp1252);

// For Markdown: a backslash before each character that can start inline markup
// or end a table cell (\ ` * _ [ ] < > & | ~ #).
std::string MarkdownText(std::string_view cp1252);

// The colour a forum list gives an item name, by quality code (0 Normal to 5
// Unique), chosen to read on a light forum background: "#RRGGBB".
std::string_view BBCodeQualityColour(int quality);

}  // namespace kistora
