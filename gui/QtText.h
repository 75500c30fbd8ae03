// The widget edge of the program's Windows-1252 texts: what a widget shows and
// what a player types cross here, and only here.
#pragma once

#include <QString>
#include <string>
#include <string_view>

#include "model/cp1252.h"

namespace kistora {

inline QString QtText(std::string_view cp1252) { return QString::fromStdString(Cp1252ToUtf8(cp1252)); }

// Characters Windows-1252 cannot hold become "?".
inline std::string Cp1252Text(const QString& text) { return Utf8ToCp1252(text.toStdString()); }

}  // namespace kistora
