#pragma once

#include <QString>
#include <optional>

namespace YVclCtrl {

// True when path is a folder whose entries can be read.
bool IsDirectoryListable(const QString& path);

// Where a list goes when it is sent to the drive with this root: the folder it last showed on
// that drive while that is still a readable folder there, else the root; nothing when not even
// the root can be read.
std::optional<QString> FolderToShowOnDrive(const QString& root, const QString& lastShown);

// path taken from the folder from, cleaned; nothing unless it names a readable folder.
std::optional<QString> ListableFolder(const QString& from, const QString& path);

}  // namespace YVclCtrl
