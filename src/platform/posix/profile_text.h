// The encodings a settings file may come in from Windows: UTF-8, UTF-16 with a byte order mark
// (Notepad's "Unicode"), or the ANSI code page Windows-1252. Reading turns each into UTF-8;
// writing gives the file back in the encoding it came in.
#pragma once

#include <string>
#include <string_view>

namespace platform {

enum class ProfileEncoding { utf8, utf16le, utf16be, windows1252 };

struct ProfileText {
    std::string utf8;
    ProfileEncoding encoding = ProfileEncoding::utf8;
};

// UTF-16 by its byte order mark (which is dropped); otherwise UTF-8 when the bytes are valid
// UTF-8, else Windows-1252.
ProfileText decodeProfileText(std::string_view raw);

// The text in the encoding, UTF-16 with its byte order mark; characters Windows-1252 lacks
// become '?'.
std::string encodeProfileText(std::string_view utf8, ProfileEncoding encoding);

}  // namespace platform
