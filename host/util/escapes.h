// C-style escapes in script strings and tablet set-up texts.
//
// Plot languages and tablet commands are full of control bytes (the escape
// byte that opens every PCL command, carriage returns that end a tablet
// command), so texts are written with the usual backslash escapes.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace drv::host {

// Decodes `text`: \e (0x1B), \n, \r, \t, \a, \b, \f, \v, \0, \\, \", \' and
// \xNN (exactly two hex digits); every other byte stands for itself. On a
// bad or unfinished escape returns false with `errorOffset` at its backslash
// and the reason in `error`; `out` then holds what was decoded before it.
bool decodeEscapes(std::string_view text, std::string &out, std::size_t &errorOffset,
                   std::string &error);

// The value of the hex digit `c` (0-9, a-f, A-F), or -1.
int hexDigitValue(char c);

// The opposite, for showing bytes to a person: printable ASCII stays, a
// backslash and a double quote are escaped, control and high bytes become
// the short escape or \xNN.
std::string visibleEscapes(std::string_view bytes);

} // namespace drv::host
