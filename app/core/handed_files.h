// Files handed to the desktop program from outside, named on its command line or dropped on its
// main window: each opens through the File command a person would have chosen it with.
#pragma once

#include <string>
#include <vector>

#include "app/core/picture_commands.h"

namespace qx {

// Opens the first non-empty name of files (the program holds one picture at a time): a
// compressed file through "Open Compress File", anything else through "Open Image File", whose
// checks and messages refuse what it cannot read. Returns false when no name was given.
bool OpenHandedFiles(PictureCommands& commands, const std::vector<std::string>& files);

// The names of files when they are a batch of pictures for "Package Compression": two or more
// names, none of them a compressed file. Empty otherwise.
std::vector<std::string> HandedBatch(const std::vector<std::string>& files);

}  // namespace qx
