// qx1: compresses pictures into .qx1 files and restores them, from the command line.
#include <CLI/CLI.hpp>
#include <cerrno>
#include <cstdio>
#include <cstring>

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

    CompressOptions compress;
    CLI::App* compressCommand = app.add_subcommand("compress", "Compress pictures into .qx1 files");
    compressCommand->add_option("-m,--mode", compress.mode, "high (default) or clear")
        ->check(CLI::IsMember({"high", "clear"}));
    compressCommand->add_option("-o,--output", compress.output,
                                "Output directory (existing, or ending in \"/\"), or output file "
                                "for a single picture");
    compressCommand
        ->add_option("-j,--jobs", compress.jobs,
                     "Pictures compressed at a time (default: number of cores)")
        ->check(CLI::PositiveNumber);
    compressCommand->add_flag("-f,--force", compress.force, "Replace existing outputs");
    compressCommand->add_flag("-q,--quiet", compress.quiet, "Print errors only");
    compressCommand->add_flag("--fit", compress.fit,
                              "Scale pictures larger than 1024 on a side down to fit 1024 x 1024");
    compressCommand->add_option("PICTURE", compress.inputs, "BMP, JPEG, TIFF, PNG or PNM pictures")
        ->required();

    DecompressOptions decompress;
    CLI::App* decompressCommand =
        app.add_subcommand("decompress",
                           "Restore .qx1 files as TIFF pictures (NAME_comp.tif), "
                           "or PNG/PNM when -o ends in .png or .ppm");
    decompressCommand->add_option("-o,--output", decompress.output,
                                  "Output directory (existing, or ending in \"/\"), or output "
                                  "file for a single input");
    decompressCommand->add_flag("-f,--force", decompress.force, "Replace existing outputs");
    decompressCommand->add_option("FILE", decompress.inputs, "Compressed .qx1 files")->required();

    InfoOptions info;
    CLI::App* infoCommand =
        app.add_subcommand("info", "Print the title fields and section sizes of .qx1 files");
    infoCommand->add_flag("--json", info.json, "Print JSON");
    infoCommand->add_option("FILE", info.inputs, "Compressed .qx1 files")->required();

    RoundtripOptions roundtrip;
    CLI::App* roundtripCommand = app.add_subcommand(
        "roundtrip", "Compress and restore a picture in memory; print size, ratio and PSNR");
    roundtripCommand->add_option("-m,--mode", roundtrip.mode, "high (default) or clear")
        ->check(CLI::IsMember({"high", "clear"}));
    roundtripCommand->add_option("-o,--output", roundtrip.output, "Write the restored picture");
    roundtripCommand->add_flag("-f,--force", roundtrip.force, "Replace an existing output");
    roundtripCommand->add_option("PICTURE", roundtrip.input, "BMP, JPEG, TIFF, PNG or PNM picture")
        ->required();

    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& error) {
        // Help and version end the program successfully; every other parse error is a usage
        // error.
        const int status = app.exit(error);
        return status == 0 ? kExitOk : kExitUsage;
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
