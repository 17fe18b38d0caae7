#pragma once

#include <string>

#include "util/bilingual_text.h"
#include "util/result.h"

// Errors in words, in the language the LANG setting picks (0 English, anything else Chinese).
// Every front end words its errors here, so a reason reads the same wherever it is shown.
namespace tvx {

// Why: "no such file", the system's words ("Permission denied"), or the error's detail.
std::string ErrorReason(const Error& error, unsigned lang);

// "cannot write \"subject\": reason" when the error says what could not be done, else
// "subject: reason", or the reason alone when the error names no subject.
std::string ErrorText(const Error& error, unsigned lang);

// The same with what could not be done given here.
std::string ErrorText(const Error& error, unsigned lang, const BilingualText& action);

// What could not be done, for the usual steps with files.
namespace error_action {
inline constexpr BilingualText kOpen{"無法開啟 \"%s\"", "cannot open \"%s\""};
inline constexpr BilingualText kRead{"無法讀取 \"%s\"", "cannot read \"%s\""};
inline constexpr BilingualText kWrite{"無法寫入 \"%s\"", "cannot write \"%s\""};
inline constexpr BilingualText kCreate{"無法建立 \"%s\"", "cannot create \"%s\""};
}  // namespace error_action

}  // namespace tvx
