// UTF-8 to code points, with malformed sequences read as U+FFFD.
#pragma once
#include <string>
#include <string_view>

namespace mivo::gfx {

std::u32string DecodeUtf8(std::string_view text);

}  // namespace mivo::gfx
