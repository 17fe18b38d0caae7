#include "util/error_text.h"

#include <cerrno>
#include <system_error>

namespace tvx {
namespace {

struct SystemWords {
  int number;
  const char* chinese;
};

// The system's reasons a technician meets with files, folders and ports, in Chinese; others
// keep the system's English words.
constexpr SystemWords kSystemWords[] = {
    {ENOENT, "檔案或資料夾不存在"},
    {EACCES, "沒有存取權限"},
    {EPERM, "不允許的操作"},
    {EROFS, "唯讀的檔案系統"},
    {ENOSPC, "磁碟空間不足"},
    {EDQUOT, "磁碟配額已用完"},
    {EBUSY, "裝置或資源忙碌中"},
    {EISDIR, "是一個資料夾"},
    {ENOTDIR, "路徑中有一部分不是資料夾"},
    {EEXIST, "檔案已存在"},
    {ENODEV, "裝置不存在"},
    {ENXIO, "裝置不存在"},
    {EIO, "輸入輸出錯誤"},
    {ENAMETOOLONG, "檔名太長"},
    {ENOMEM, "記憶體不足"},
    {ENOTTY, "不是序列埠裝置"},
    {EAGAIN, "資源暫時無法使用"},
};

std::string systemReason(int number, bool english) {
  if (!english) {
    for (const SystemWords& words : kSystemWords) {
      if (words.number == number) {
        return words.chinese;
      }
    }
  }
  return std::generic_category().message(number);
}

std::string codeReason(const Error& error, bool english) {
  switch (error.code) {
    case ErrorCode::kNoSuchFile:
      return english ? "no such file" : "檔案不存在";
    case ErrorCode::kNotAFile:
      return english ? "not a regular file" : "不是一般檔案";
    case ErrorCode::kNotAFolder:
      return english ? "not a folder" : "不是資料夾";
    case ErrorCode::kSystem:
      return systemReason(error.systemError, english);
    case ErrorCode::kShortened:
      return english ? "the file became shorter" : "檔案在讀取時變短了";
    case ErrorCode::kEmpty:
      return english ? "empty" : "內容是空的";
    case ErrorCode::kInvalid:
      return error.detail;
  }
  return error.detail;
}

}  // namespace

std::string ErrorReason(const Error& error, unsigned lang) {
  std::string reason = codeReason(error, lang == 0);
  if (error.code != ErrorCode::kInvalid && !error.detail.empty()) {
    reason += " (" + error.detail + ")";
  }
  return reason;
}

std::string ErrorText(const Error& error, unsigned lang) {
  return ErrorText(error, lang, error.action);
}

std::string ErrorText(const Error& error, unsigned lang, const BilingualText& action) {
  const std::string reason = ErrorReason(error, lang);
  const std::string_view words = action.forLanguage(lang);
  std::string head = error.subject;
  if (!words.empty()) {
    // The subject goes in as it is: a path may hold a "%" of its own.
    head = words;
    const std::size_t mark = head.find("%s");
    if (mark != std::string::npos) {
      head.replace(mark, 2, error.subject);
    }
  }
  if (head.empty() || reason.empty()) {
    return head.empty() ? reason : head;
  }
  return head + ": " + reason;
}

Error ErrorBecause(const Error& cause, unsigned lang, std::string subject, BilingualText action) {
  return Error::Invalid(std::move(subject), ErrorText(cause, lang)).withAction(action);
}

}  // namespace tvx
