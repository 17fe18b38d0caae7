#pragma once

#include <cstdio>
#include <string>
#include <string_view>

// Everything the command line prints goes out here. The indicator's files hold their texts in
// Big5; a terminal that writes UTF-8 gets them as UTF-8, any other gets the bytes as they are
// (a Big5 terminal shows them, and nothing is guessed for the others). The files keep their
// bytes: only what is printed is converted.
namespace tvx::cli {

// Whether the user's locale writes UTF-8: the character set of the locale that LC_ALL,
// LC_CTYPE and LANG name, as setlocale(LC_CTYPE, "") would pick it; when that locale is not
// installed, whether its name says UTF-8.
bool ConsoleIsUtf8();

// text as the console shows it. With a UTF-8 console each line is taken as the window takes a
// log line: valid UTF-8 (our own words, ASCII) as it is, anything else as Big5. Otherwise the
// text is unchanged.
std::string ConsoleText(std::string_view text);

// Writes text to stream as ConsoleText shows it and flushes the stream.
void Print(std::FILE* stream, std::string_view text);

// The same with a line end after it.
void PrintLine(std::FILE* stream, std::string_view line);

}  // namespace tvx::cli
