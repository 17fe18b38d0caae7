#pragma once

#include <QString>
#include <optional>
#include <string>
#include <string_view>

#include "util/text_encoding.h"

// The indicator's files hold their texts as bytes, Big5 for Chinese. The window converts them
// for display and back for storage; nothing below the window converts.
namespace tvx {

// A text of the settings, project or indicator files for display: taken as UTF-8 when it is
// valid UTF-8, else converted from Big5. Bytes that are not Big5 either show as U+FFFD.
QString DisplayText(std::string_view bytes);

// A text the user typed, as the indicator's files keep it: ASCII as it is, anything else in
// Big5. Nothing when the text has characters Big5 cannot write.
std::optional<std::string> StorageText(const QString& text);

// A file system path for display and back: paths are the system's own bytes (UTF-8 here),
// but a path read from a file made on Windows may be Big5.
QString DisplayPath(std::string_view path);
std::string StoragePath(const QString& path);

}  // namespace tvx
