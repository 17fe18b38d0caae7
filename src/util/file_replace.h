#pragma once

#include <string>
#include <string_view>

#include "util/result.h"

namespace YVclUtil {

// Replaces the whole content of the file at path so that the file is either the old one or the
// new one, never a mixture or a truncated file: the bytes go to a temporary file in the same
// directory, are flushed to the disk, and the temporary file is renamed over path. A symbolic
// link is followed and its target replaced; an existing file keeps its permission bits (and,
// where allowed, its owner), and one this user may not write is refused (as a write would be,
// even though its folder would allow the rename); a new file gets 0666 less the umask. On failure
// nothing at path has changed, the temporary file is removed, and the error names the file that was
// to be replaced and says which step failed and why.
tvx::Result<void> ReplaceFileContents(const std::string& path, std::string_view bytes);

}  // namespace YVclUtil
