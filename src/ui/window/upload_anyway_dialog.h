#pragma once

#include <string>
#include <vector>

class QWidget;

namespace tvx {

// Asks whether a ROM image picked for "upload only" that fails its checks goes to the indicator
// all the same: the reasons, then "Upload anyway" and "Cancel" (the default, also Escape and
// closing), in the language LANG picks. True for "Upload anyway"; false too should the parent
// go away meanwhile.
bool AskToUploadAnyway(const std::vector<std::string>& reasons, unsigned lang, QWidget* parent);

}  // namespace tvx
