#pragma once

#include <string>

#include "util/bilingual_text.h"
#include "util/result.h"

// Errors in words, in the language the LANG setting picks (0 English, anything else Chinese).
// Every front end words its errors here, so a reason reads the same wherever it is shown.
namespace tvx {

// Why: "no such file", the system's words ("Permission denied"), or the error's detail.
std::string ErrorReason(const Error& error, unsigned lang);

// "subject: reason", or the reason alone when the error names no subject.
std::string ErrorText(const Error& error, unsigned lang);

// What was being done first: "cannot read \"subject\": reason".
std::string ErrorText(const Error& error, unsigned lang, const BilingualText& doing);

}  // namespace tvx
