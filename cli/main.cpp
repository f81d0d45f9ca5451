// qx1: compresses pictures into .qx1 files and restores them, from the command line.
#include <CLI/CLI.hpp>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "base/safe_write.h"

#include "cli/commands.h"

#ifndef QX_VERSION
#define QX_VERSION "0"
#endif

int main(int argc, char** argv) {
    using namespace qx1;
    CLI::App app{
        "Compresses true-colour BMP, JPEG, TIFF, PNG and PNM pictures (at most 1024 x 1024, or "
        "scaled to fit) into .qx1 files and restores them as TIFF, PNG or PNM.",
        "qx1"};
    app.set_version_flag("--version", "qx1 " QX_VERSION);
    app.require_subcommand(1, 1);
    app.footer("Exit status: 0 every file succeeded, 1 a file failed, 2 usage error.");

    // The mode option compress and roundtrip share.
    auto addModeOption = [](CLI::App* command, std::string& mode) {
        command->add_option("-m,--mode", mode, "high (default) or clear")
            ->check(CLI::IsMember({"high", "clear"}));
    };
    // The options compress and decompress share.
    auto addBatchOptions = [](CLI::App* command, BatchOptions& options) {
        command->add_option("-o,--output", options.output,
                            "Output directory (existing, or ending in \"/\"), output file for a "
                            "single input, or - for standard output");
        CLI::Option* force =
            command->add_flag("-f,--force", options.force, "Replace existing outputs");
        command
            ->add_flag("--skip-existing", options.skipExisting,
                       "Count an existing output as done (resumes an interrupted batch)")
            ->excludes(force);
        command->add_flag("-p,--preserve-time", options.preserveTime,
                          "Give each output its source's modification time");
        command->add_flag("-q,--quiet", options.quiet, "Print errors only");
        command->add_flag(
            "--json", options.json,
            "Print one JSON object per file (JSON Lines) instead of the report lines");
    };

    CLI::App* compressCommand = app.add_subcommand("compress", "Compress pictures into .qx1 files");
    CLI::App* decompressCommand =
        app.add_subcommand("decompress",
                           "Restore .qx1 files as TIFF pictures (NAME_comp.tif), "
                           "or PNG/PNM when -o ends in .png or .ppm");
    CLI::App* infoCommand =
        app.add_subcommand("info", "Print the title fields and section sizes of .qx1 files");
    CLI::App* roundtripCommand = app.add_subcommand(
        "roundtrip", "Compress and restore a picture in memory; print size, ratio and PSNR");

    // A run that names its command first sets up only that command's options: they are most of
    // the parser's start-up time. Without a command first (help, usage errors), all of them are.
    const std::string firstWord = argc > 1 ? argv[1] : "";
    const std::vector<CLI::App*> firstCommand = app.get_subcommands(
        [&firstWord](CLI::App* command) { return command->get_name() == firstWord; });
    const CLI::App* first = firstCommand.empty() ? nullptr : firstCommand.front();
    const auto wanted = [first](const CLI::App* command) {
        return first == nullptr || first == command;
    };

    CompressOptions compress;
    CLI::Option* compressInputs = nullptr;
    if (wanted(compressCommand)) {
        addModeOption(compressCommand, compress.mode);
        addBatchOptions(compressCommand, compress);
        compressCommand
            ->add_option("-j,--jobs", compress.jobs,
                         "Pictures compressed at a time (default: the CPUs qx1 may run on)")
            ->check(CLI::PositiveNumber);
        compressCommand->add_flag(
            "--fit", compress.fit,
            "Scale pictures larger than 1024 on a side down to fit 1024 x 1024");
        compressInputs =
            compressCommand
                ->add_option("PICTURE", compress.inputs,
                             "BMP, JPEG, TIFF, PNG or PNM pictures; - for standard input")
                ->required();
    }

    DecompressOptions decompress;
    CLI::Option* decompressInputs = nullptr;
    if (wanted(decompressCommand)) {
        addBatchOptions(decompressCommand, decompress);
        decompressCommand->add_option("--format", decompress.format,
                                      "Format of the picture written to standard output (-o -): "
                                      "tif, png or ppm");
        decompressInputs = decompressCommand
                               ->add_option("FILE", decompress.inputs,
                                            "Compressed .qx1 files; - for standard input")
                               ->required();
    }

    InfoOptions info;
    CLI::Option* infoInputs = nullptr;
    if (wanted(infoCommand)) {
        infoCommand->add_flag("--json", info.json, "Print JSON");
        infoInputs =
            infoCommand->add_option("FILE", info.inputs, "Compressed .qx1 files")->required();
    }

    RoundtripOptions roundtrip;
    CLI::Option* roundtripInput = nullptr;
    if (wanted(roundtripCommand)) {
        addModeOption(roundtripCommand, roundtrip.mode);
        roundtripCommand->add_option("-o,--output", roundtrip.output,
                                     "Write the restored picture (TIFF; - for standard output)");
        roundtripCommand->add_flag("-f,--force", roundtrip.force, "Replace an existing output");
        roundtripCommand->add_flag("--json", roundtrip.json, "Print the result as one JSON object");
        roundtripInput =
            roundtripCommand
                ->add_option("PICTURE", roundtrip.input,
                             "BMP, JPEG, TIFF, PNG or PNM picture; - for standard input")
                ->required();
    }

    // "--" ends the options: what follows are names, even "-x.bmp". They are kept away from the
    // parser, which only takes "--" before the first name.
    std::vector<std::string> names;
    for (int i = 2; i < argc; ++i) {
        if (std::strcmp(argv[i], "--") != 0) continue;
        names.assign(argv + i + 1, argv + argc);
        argc = i;
        for (CLI::Option* inputs : {compressInputs, decompressInputs, infoInputs, roundtripInput})
            if (inputs != nullptr) inputs->required(names.empty());
        break;
    }

    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& error) {
        // Help and version end the program successfully; every other parse error is a usage
        // error.
        const int status = app.exit(error);
        return status == 0 ? kExitOk : kExitUsage;
    }
    compress.inputs.insert(compress.inputs.end(), names.begin(), names.end());
    decompress.inputs.insert(decompress.inputs.end(), names.begin(), names.end());
    info.inputs.insert(info.inputs.end(), names.begin(), names.end());
    if (roundtripCommand->parsed() && !names.empty()) {
        if (!roundtrip.input.empty() || names.size() > 1) {
            std::fprintf(stderr, "qx1 roundtrip: one picture at a time\n");
            return kExitUsage;
        }
        roundtrip.input = names.front();
    }

    // An interrupted run removes the temporary files of the outputs it was writing, and only
    // those; complete outputs stay.
    qx::RemoveTemporaryFilesOnSignal();
    int status = kExitFailed;
    try {
        if (compressCommand->parsed())
            status = RunCompress(compress);
        else if (decompressCommand->parsed())
            status = RunDecompress(decompress);
        else if (infoCommand->parsed())
            status = RunInfo(info);
        else
            status = RunRoundtrip(roundtrip);
    } catch (const std::exception& error) {
        // The per-file work catches its own; this is the last line for the rest.
        std::fprintf(stderr, "qx1: %s\n", error.what());
        status = kExitFailed;
    }
    // What was printed must have arrived: a full disk or a closed pipe is a failure.
    if (std::fflush(stdout) != 0 || std::ferror(stdout)) {
        std::fprintf(stderr, "qx1: standard output: %s\n", std::strerror(errno));
        if (status == kExitOk) status = kExitFailed;
    }
    return status;
}
