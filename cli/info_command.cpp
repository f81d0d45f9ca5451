// qx1 info: the title fields and the body's section sizes of compressed files, as text or
// JSON. Only the title is read; nothing is decoded.
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include <nlohmann/json.hpp>

#include "base/file_handle.h"
#include "cli/commands.h"
#include "cli/json_lines.h"
#include "container/body_layout.h"
#include "container/file_title.h"

namespace qx1 {

namespace {

using Fields = std::vector<std::pair<std::string, int64_t>>;

Fields TitleFields(const qx::FileTitle& t) {
    return {
        {"Identifier", t.Identifier},
        {"FirstLevelFilter", t.FirstLevelFilter},
        {"LowBandMode", t.LowBandMode},
        {"CodedWidth", t.CodedWidth},
        {"CodedLength", t.CodedLength},
        {"SourceWidth", t.SourceWidth},
        {"SourceLength", t.SourceLength},
        {"ThresholdScaleFlags", t.ThresholdScaleFlags},
        {"FocusBorder", t.FocusBorder},
        {"LevelCount", t.LevelCount},
        {"CompressionMode", t.CompressionMode},
        {"Quality", t.Quality},
        {"QualityBase", t.QualityBase},
        {"LowBandWidth", t.LowBandWidth},
        {"LowBandHeight", t.LowBandHeight},
        {"PackedMainCodeSize", t.PackedMainCodeSize},
        {"RefineCodeWordCount", t.RefineCodeWordCount},
        {"LevelOffset0", t.LevelOffset[0]},
        {"LevelOffset1", t.LevelOffset[1]},
        {"LevelOffset2", t.LevelOffset[2]},
        {"CompressionTime", t.CompressionTime},
        {"ChromaShift", t.ChromaShift},
        {"GreyFlag", t.GreyFlag},
        {"ReferenceChannel", t.ReferenceChannel},
        {"ExtraRefinementFlag", t.ExtraRefinementFlag},
        {"CropFlag", t.CropFlag},
        {"ToneSelect", t.ToneSelect},
    };
}

Fields SectionSizes(const qx::BodyLayout& b) {
    const int64_t n = b.trees();
    return {
        {"LowBandCodes", b.lowBandBytes()},
        {"MaxThresholds", b.components * b.thresholdBytesPerComponent()},
        {"BlockMeans0", n},
        {"BlockMeans1", n},
        {"BlockPeaks0", n},
        {"BlockPeaks1", n},
        {"BlockDeviations0", n},
        {"MainCode", b.packedSize},
        {"RefineCode", 4 * b.refineWords},
        {"CumFreq", 512},
    };
}

nlohmann::ordered_json JsonObject(const Fields& fields) {
    nlohmann::ordered_json out = nlohmann::ordered_json::object();
    for (const auto& [key, value] : fields) out[key] = value;
    return out;
}

std::string TextBlock(const std::string& name, const Fields& title, const Fields& sections,
                      int64_t fileLength, int64_t bodyLength) {
    std::string out = name + ":\n  title\n";
    for (const auto& [key, value] : title)
        out += "    " + key + " = " + std::to_string(value) + "\n";
    out += "  body sections (bytes)\n";
    for (const auto& [key, value] : sections)
        out += "    " + key + " = " + std::to_string(value) + "\n";
    out += "  body length = " + std::to_string(bodyLength) +
           "\n  file length = " + std::to_string(fileLength) + "\n";
    return out;
}

}  // namespace

int RunInfo(const InfoOptions& options) {
    bool ok = true;
    nlohmann::ordered_json jsonEntries = nlohmann::ordered_json::array();
    for (const std::string& name : options.inputs) {
        qx::FileHandle::InputStatus opened;
        errno = 0;
        qx::FileHandle file = qx::FileHandle::openInput(name, &opened);
        uint8_t bytes[qx::kTitleSize];
        const int64_t fileLength = file.isOpen() ? file.length() : -1;
        if (fileLength < 0 || !file.readExact(bytes, sizeof bytes)) {
            const int error = errno;
            if (opened == qx::FileHandle::InputStatus::NotRegular)
                std::fprintf(stderr, "%s: not a regular file\n", name.c_str());
            else
                std::fprintf(stderr, "%s: Title of Compr. File isn't read%s%s\n", name.c_str(),
                             error ? ": " : "", error ? std::strerror(error) : "");
            ok = false;
            continue;
        }
        const qx::FileTitle title = qx::ParseTitle(bytes);
        const qx::BodyLayout layout = qx::LayoutOf(title);
        const Fields titleFields = TitleFields(title);
        const Fields sections = SectionSizes(layout);
        if (options.json) {
            Fields sizes = {{"FileLength", fileLength}, {"BodyLength", layout.length()}};
            nlohmann::ordered_json entry;
            AddName(entry, "file", name);
            entry["title"] = JsonObject(titleFields);
            entry["sections"] = JsonObject(sections);
            entry["sizes"] = JsonObject(sizes);
            jsonEntries.push_back(std::move(entry));
        } else {
            std::fputs(TextBlock(name, titleFields, sections, fileLength, layout.length()).c_str(),
                       stdout);
        }
        if (fileLength - qx::kTitleSize != layout.length()) {
            std::fprintf(stderr, "%s: the body holds %lld bytes, the title calls for %lld\n",
                         name.c_str(), static_cast<long long>(fileLength - qx::kTitleSize),
                         static_cast<long long>(layout.length()));
            ok = false;
        }
    }
    if (options.json) {
        const std::string out =
            jsonEntries.dump(2, ' ', false, nlohmann::ordered_json::error_handler_t::replace);
        std::fputs((out + "\n").c_str(), stdout);
    }
    return ok ? kExitOk : kExitFailed;
}

}  // namespace qx1
