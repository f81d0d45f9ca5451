// qx1's JSON: one object per file (JSON Lines) for compress, decompress and roundtrip, and the
// file names of info's JSON.
#pragma once

#include <string>

#include <nlohmann/json.hpp>

#include "cli/file_jobs.h"

namespace qx1 {

// Sets entry[key] to a file name, with every byte that is not part of valid UTF-8 replaced by
// U+FFFD when printed; when any was, entry[key + "_hex"] holds the name's bytes in hexadecimal
// as well, so that the exact name is never lost.
void AddName(nlohmann::ordered_json& entry, const std::string& key, const std::string& name);

// A JSON value printed on one line, invalid UTF-8 replaced.
std::string JsonText(const nlohmann::ordered_json& value, int indent = -1);

// One file's line: input, output, status ("ok", "failed", "skipped"), message on failure, and
// width, length, bytes, ratio, psnr where known. Ends in a new line.
std::string JsonLine(const FileReport& report);

}  // namespace qx1
