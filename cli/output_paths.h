// Where the outputs of compress and decompress go: beside each input by default, or as -o
// says (a directory when it is one or ends in "/", otherwise one output file).
#pragma once

#include <string>

#include "load/picture_names.h"

namespace qx1 {

struct OutputTarget {
    enum class Kind { BesideInput, Directory, File, StandardOutput };
    Kind kind = Kind::BesideInput;
    std::string path;
};

// Interprets the -o value for inputCount inputs ("-": standard output, for one input). Returns an
// empty string, or why the value cannot be used (a usage error).
std::string ResolveOutputTarget(const std::string& option, size_t inputCount, OutputTarget& target);

// The output for an input whose default output name (beside the input) is defaultName; "-" for
// standard output.
std::string OutputPath(const OutputTarget& target, const std::string& defaultName);

// The default output names follow the desktop program's rules.
using qx::CompressedName;
using qx::RestoredName;

}  // namespace qx1
