// The steps around one file's work that compress and decompress share: --skip-existing,
// --preserve-time, standard input as the source and the report of a written output.
#pragma once

#include <memory>
#include <string>
#include <vector>

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

// The batch's files in order, each with its output named by outputName. Standard input is read
// whole here (it is the only input then). Two inputs that would write the same output (a.bmp and
// a.tif, a.qx1 and ./a.qx1) must not both write it: the later one is refused.
std::vector<BatchFile> PlanBatch(const std::vector<std::string>& inputs, const OutputTarget& target,
                                 std::string (*outputName)(const std::string&),
                                 std::unique_ptr<StandardInput>& standardInput);

// True when --skip-existing passes over this file: its output exists and is not its input.
bool SkipsFile(const BatchFile& file, bool skipExisting);

// Why the file may not be read or its output written (empty when it may); openError as for
// InputRefusal.
std::string FileRefusal(const BatchFile& file, bool force, int& openError);

// The report of a file skipped because its output exists.
FileReport SkippedReport(const BatchFile& file);

// Gives output the modification (and access) time of source; returns an errno text on failure.
std::string CopyFileTime(const std::string& source, const std::string& output);

}  // namespace qx1
