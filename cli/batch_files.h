// The steps around one file's work that compress and decompress share: --skip-existing,
// --preserve-time, standard input as the source and the report of a written output.
#pragma once

#include <string>

#include "cli/file_jobs.h"
#include "cli/output_paths.h"
#include "cli/standard_streams.h"

namespace qx1 {

// One file of a batch: the name it is reported under, the path it is read from (the in-memory
// copy for standard input), and its output ("-" for standard output).
struct BatchFile {
    std::string input;
    std::string source;
    std::string output;
    std::string refusal;  // set when the file must not be worked on
    bool fromStandardInput = false;
    bool toStandardOutput() const { return output == kStandardStream; }
};

// The usage error of reading standard input, or of writing to it, for these options; empty
// when there is none. Standard input may be read once, and only with -o.
std::string StandardStreamsRefusal(const std::vector<std::string>& inputs,
                                   const OutputTarget& target);

// The report of a file skipped because its output exists.
FileReport SkippedReport(const BatchFile& file);

// Gives output the modification (and access) time of source; returns an errno text on failure.
std::string CopyFileTime(const std::string& source, const std::string& output);

}  // namespace qx1
