// qx1 info: the title fields and the body's section sizes of compressed files, as text or
// JSON. Only the title is read; nothing is decoded.
#include <cstdio>
#include <string>
#include <utility>
#include <vector>

#include "cli/commands.h"
#include "container/body_layout.h"
#include "container/file_handle.h"
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

std::string JsonString(const std::string& text) {
    std::string out = "\"";
    for (char c : text) {
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (static_cast<unsigned char>(c) < 0x20) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\u%04x", c);
            out += escaped;
        } else {
            out += c;
        }
    }
    return out + "\"";
}

std::string JsonObject(const Fields& fields, const char* indent) {
    std::string out = "{";
    for (size_t i = 0; i < fields.size(); ++i)
        out += std::string(i ? ",\n" : "\n") + indent + "  " + JsonString(fields[i].first) + ": " +
               std::to_string(fields[i].second);
    return out + "\n" + indent + "}";
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
    std::vector<std::string> jsonEntries;
    for (const std::string& name : options.inputs) {
        qx::FileHandle file = qx::FileHandle::open(name, qx::FileHandle::Mode::ReadOnly);
        uint8_t bytes[qx::kTitleSize];
        const int64_t fileLength = file.isOpen() ? file.length() : -1;
        if (fileLength < 0 || !file.readExact(bytes, sizeof bytes)) {
            std::fprintf(stderr, "%s: Title of Compr. File isn't read\n", name.c_str());
            ok = false;
            continue;
        }
        const qx::FileTitle title = qx::ParseTitle(bytes);
        const qx::BodyLayout layout = qx::LayoutOf(title);
        const Fields titleFields = TitleFields(title);
        const Fields sections = SectionSizes(layout);
        if (options.json) {
            Fields sizes = {{"FileLength", fileLength}, {"BodyLength", layout.length()}};
            jsonEntries.push_back("  {\n    \"file\": " + JsonString(name) +
                                  ",\n    \"title\": " + JsonObject(titleFields, "    ") +
                                  ",\n    \"sections\": " + JsonObject(sections, "    ") +
                                  ",\n    \"sizes\": " + JsonObject(sizes, "    ") + "\n  }");
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
        std::string out = "[";
        for (size_t i = 0; i < jsonEntries.size(); ++i)
            out += std::string(i ? ",\n" : "\n") + jsonEntries[i];
        std::fputs((out + "\n]\n").c_str(), stdout);
    }
    return ok ? kExitOk : kExitFailed;
}

}  // namespace qx1
