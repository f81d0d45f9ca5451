// Loading one picture of a batch: the shared loader, with each of its failures turned into the
// batch's question whether to go on with the next files.
#pragma once

#include <string>

#include "app/core/user_dialogs.h"
#include "codec/codec.h"
#include "load/memory_status.h"
#include "load/picture_loader.h"

namespace qx {

enum class BatchStep { Compress, NextFile, Stop };

// What the batch does after a failed load by one reader. held: the loader's message is not
// shown, the question says it instead. replacement: a message shown in its place (or nullptr).
// question: follows the file's name in a Yes/No question whether to go on; nullptr ends the
// batch without one.
struct BatchFollowUp {
    bool held = false;
    const char* replacement = nullptr;
    const char* question = nullptr;
};
BatchFollowUp FollowUpAfter(PictureReader reader, LoadFailure failure);

// After a failed load: the replacement message and the question of the (reader, failure) entry,
// with the file named as currentName. The outcome's text plays no part.
[[nodiscard]] BatchStep FollowUpFailedLoad(UserDialogs& dialogs, const LoadOutcome& outcome,
                                           const std::string& currentName);

// Loads fullName (shown to the user as currentName) into codec like the open command does.
// Compress when the picture is ready; otherwise the failure has been reported and, where the
// batch may go on, the user has been asked: NextFile after Yes, Stop after No or after a failure
// that ends the batch without a question.
[[nodiscard]] BatchStep LoadBatchPicture(Codec& codec, UserDialogs& dialogs,
                                         const MemoryStatusSource& memory,
                                         const std::string& fullName,
                                         const std::string& currentName);

}  // namespace qx
