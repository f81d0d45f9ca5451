// Loading one picture of a batch: the open command's loader, with each of its failures turned
// into the batch's question whether to go on with the next files.
#pragma once

#include <string>

#include "app/core/memory_status.h"
#include "app/core/user_dialogs.h"
#include "codec/codec.h"

namespace qx {

enum class BatchStep { Compress, NextFile, Stop };

// Loads fullName (shown to the user as currentName) into codec like the open command does.
// Compress when the picture is ready; otherwise the failure has been reported and, where the
// batch may go on, the user has been asked: NextFile after Yes, Stop after No or after a failure
// that ends the batch without a question.
BatchStep LoadBatchPicture(Codec& codec, UserDialogs& dialogs, const MemoryStatusSource& memory,
                           const std::string& fullName, const std::string& currentName);

}  // namespace qx
