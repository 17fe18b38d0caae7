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
// "subject: reason", or the reason alone when the error names no subject. An error without a
// reason (Error::Stated) reads as its action alone.
std::string ErrorText(const Error& error, unsigned lang);

// The same with what could not be done given here.
std::string ErrorText(const Error& error, unsigned lang, const BilingualText& action);

// The error of a step that failed because of another error: what could not be done with
// subject, its reason the cause's whole text in the language given ("Err: Can not write
// list.glp: cannot write \"list.glp\": No space left on device").
Error ErrorBecause(const Error& cause, unsigned lang, std::string subject, BilingualText action);

// What could not be done, for the usual steps with files.
namespace error_action {
inline constexpr BilingualText kOpen{"無法開啟 \"%s\"", "cannot open \"%s\""};
inline constexpr BilingualText kRead{"無法讀取 \"%s\"", "cannot read \"%s\""};
inline constexpr BilingualText kWrite{"無法寫入 \"%s\"", "cannot write \"%s\""};
inline constexpr BilingualText kCreate{"無法建立 \"%s\"", "cannot create \"%s\""};
inline constexpr BilingualText kReplace{"無法取代 \"%s\"", "cannot replace \"%s\""};
inline constexpr BilingualText kFlush{"無法將 \"%s\" 寫入磁碟", "cannot flush \"%s\""};
inline constexpr BilingualText kCreateTemporaryBeside{
    "無法在 \"%s\" 旁建立暫存檔", "cannot create a temporary file beside \"%s\""};
inline constexpr BilingualText kSetPermissions{"無法設定 \"%s\" 的權限",
                                               "cannot set the permissions for \"%s\""};
inline constexpr BilingualText kRenameOver{"無法以暫存檔取代 \"%s\"",
                                           "cannot rename the temporary file over \"%s\""};
}  // namespace error_action

}  // namespace tvx
