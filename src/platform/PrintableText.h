#pragma once

#include <string>
#include <string_view>

namespace korvane {

// What stands for a control character of outside text on its way to the screen or a log.
inline constexpr char ControlReplacement = '?';

// Text that came from outside (a server's status text, a line of a list a user was handed, a
// place name of a batch list) made safe to print: every control character, C0 (below the
// blank, tab and line ends included), DEL and the C1 controls U+0080..U+009F as UTF-8 writes
// them, is replaced by ControlReplacement, so no escape sequence, bell or carriage return from
// outside reaches a terminal or a log line. Every other byte, UTF-8 letters included, is kept.
// The system's own texts keep their line ends: only outside text goes through here.
std::string PrintableText(std::string_view text);

// True when PrintableText would leave the text as it is.
bool IsPrintableText(std::string_view text);

}  // namespace korvane
