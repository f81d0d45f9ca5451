// JSON written by nlohmann-json, so that any name comes out as valid JSON.
#include "cli/json_lines.h"

#include <cmath>
#include <cstdio>

namespace qx1 {

void AddName(nlohmann::ordered_json& entry, const std::string& key, const std::string& name) {
    entry[key] = name;
    try {
        (void)nlohmann::json(name).dump();
    } catch (const nlohmann::json::type_error&) {
        std::string hex;
        for (unsigned char c : name) {
            char digits[3];
            std::snprintf(digits, sizeof digits, "%02x", c);
            hex += digits;
        }
        entry[key + "_hex"] = hex;
    }
}

std::string JsonText(const nlohmann::ordered_json& value, int indent) {
    return value.dump(indent, ' ', false, nlohmann::ordered_json::error_handler_t::replace);
}

std::string JsonLine(const FileReport& report) {
    nlohmann::ordered_json entry = nlohmann::ordered_json::object();
    AddName(entry, "input", report.input);
    if (!report.output.empty()) AddName(entry, "output", report.output);
    entry["status"] = !report.ok ? "failed" : report.skipped ? "skipped" : "ok";
    if (!report.ok) {
        std::string message = report.err;
        while (!message.empty() && message.back() == '\n') message.pop_back();
        entry["message"] = message;
    }
    if (report.width > 0) {
        entry["width"] = report.width;
        entry["length"] = report.length;
    }
    if (report.bytes >= 0) entry["bytes"] = report.bytes;
    if (report.ratio >= 0) entry["ratio"] = report.ratio;
    // JSON has no infinity: identical pictures give null.
    if (report.psnr)
        entry["psnr"] = std::isfinite(*report.psnr) ? nlohmann::ordered_json(*report.psnr)
                                                    : nlohmann::ordered_json(nullptr);
    return JsonText(entry) + "\n";
}

}  // namespace qx1
