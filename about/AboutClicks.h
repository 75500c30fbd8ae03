// The joking messages of the About box's hidden click counter.
#pragma once

#include <QString>
#include <cstdint>

namespace kistora {

// The message for the Nth press on the icon, or an empty text when that press
// shows nothing. Lines of the 1000th message are separated by CR LF.
QString AboutClickMessage(std::int32_t n);

}  // namespace kistora
