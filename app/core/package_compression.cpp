// The batch command: choose pictures and a target directory, then load, compress and save each
// picture in turn while the progress bar advances by the file's share.
#include "app/core/package_compression.h"

#include <filesystem>

#include "app/core/package_load.h"
#include "app/core/package_shares.h"
#include "app/core/picture_commands.h"
#include "codec/scoped_hooks.h"
#include "load/compression_time.h"
#include "load/dialog_hooks.h"
#include "load/picture_names.h"

namespace qx {

namespace {

namespace fs = std::filesystem;

std::string CountCaption(size_t count) {
    return "  " + std::to_string(count) + (count == 1 ? " image file is " : " image files are ") +
           "chosen";
}

// The name of a chosen file as it is shown: relative to the directory of the chosen files.
std::string RelativeName(const std::string& full, const std::string& directory) {
    const std::string prefix = directory + "/";
    return full.rfind(prefix, 0) == 0 ? full.substr(prefix.size()) : full;
}

// Makes directory current; on failure says so and carries on where it is.
void EnterDirectory(UserDialogs& dialogs, const std::string& directory) {
    std::error_code error;
    fs::current_path(directory, error);
    if (error) {
        dialogs.warnCancelOnly("Directory  '" + directory + "'  not found.");
    }
}

// Asks for the target directory until one is chosen; empty when the user gave up.
std::string ChooseTarget(UserDialogs& dialogs, const std::string& start) {
    for (;;) {
        std::string chosen = dialogs.chooseDirectory("", start);
        if (!chosen.empty()) {
            std::error_code error;
            fs::create_directories(chosen, error);
            if (fs::is_directory(chosen, error)) return fs::absolute(chosen, error).string();
        }
        if (dialogs.askRetryCancel("Directory isn't selected") != Answer::Retry) return {};
    }
}

class Batch {
  public:
    Batch(Codec& codec, Container& container, UserDialogs& dialogs, PackageProgress& progress,
          const MemoryStatusSource& memory)
        : codec_(codec),
          container_(container),
          dialogs_(dialogs),
          progress_(progress),
          memory_(memory),
          hooks_(dialogs, memory) {
        hooks_.onProgress = [this](int phase) { advance(phase); };
    }

    // Runs the files in order until the user stops the batch.
    void run(const std::vector<std::string>& files) {
        PackageShares shares(static_cast<int>(files.size()));
        progress_.setValue(0);
        progress_.show();
        EnterDirectory(dialogs_, working);
        const ScopedHooks hooksInUse(codec_, hooks_);
        for (size_t i = 0; i < files.size(); ++i) {
            dialogs_.lockInput(true);
            steps_.startFile(shares.next(static_cast<int>(i)));
            const std::string current = RelativeName(files[i], working);
            progress_.setCaption(" Compr: " + std::to_string(i + 1) + " from " +
                                 std::to_string(files.size()) + " - " + current + "  ");
            if (processFile(files[i], current) == BatchStep::Stop) break;
        }
    }

    std::string working;
    std::string target;
    int saved = 0;

  private:
    void advance(int phase) {
        steps_.report(phase);
        progress_.setValue(steps_.value());
    }

    BatchStep ask(const std::string& text) {
        return dialogs_.askYesNo(text) == Answer::Yes ? BatchStep::NextFile : BatchStep::Stop;
    }

    BatchStep processFile(const std::string& full, const std::string& current) {
        if (NameExtension(current).empty()) {
            dialogs_.message("Unknown file's extension.");
            return ask(current + ": Unknown file's extension. Do you want to compress next files?");
        }
        if (!IsBatchPicture(current)) return BatchStep::NextFile;
        const BatchStep loaded = LoadBatchPicture(codec_, dialogs_, memory_, full, current);
        if (loaded != BatchStep::Compress) return loaded;
        return compressAndSave(current);
    }

    BatchStep codecFailure(int status) {
        if (const char* text = CodecErrorMessage(status)) dialogs_.message(text);
        return BatchStep::Stop;
    }

    BatchStep compressAndSave(const std::string& current) {
        dialogs_.lockInput(true);
        advance(0);
        ApplyCompressionChoice(CompressionChoice::High, codec_.params);
        if (const int status = CompressForPackage(codec_)) return codecFailure(status);
        dialogs_.lockInput(true);
        if (BuildCompressedImage(container_, codec_, CompressionTimeOrClock()) == kCodeErr)
            return codecFailure(kCodeErr);
        const std::string output = CompressedName(current);
        EnterDirectory(dialogs_, target);
        const BatchStep step = save(output);
        EnterDirectory(dialogs_, working);
        return step;
    }

    BatchStep save(const std::string& output) {
        const std::string path = target + "/" + output;
        // The written file takes its name only when complete, so a failure never harms what was
        // there; a read-only file, a device or a directory is refused as an open failure.
        const bool exists = ExamineOutput(path, false) == WriteStatus::Exists;
        if (exists) {
            const Answer answer =
                dialogs_.askYesNoCancel("File '" + output + "' already exist. Replace it?");
            if (answer == Answer::Cancel) return BatchStep::Stop;
            if (answer != Answer::Yes) return BatchStep::NextFile;
            dialogs_.lockInput(true);
        }
        const WriteResult written = WriteCompressedImage(container_, path, exists);
        if (!written.ok()) {
            const bool openFailed = written.status != WriteStatus::WriteFailed &&
                                    written.status != WriteStatus::CannotRename;
            return ask(output + (openFailed ? ": Open Err.\n Compress next files?"
                                            : ": Write Err.\n Compress next files?"));
        }
        ++saved;
        return BatchStep::NextFile;
    }

    Codec& codec_;
    Container& container_;
    UserDialogs& dialogs_;
    PackageProgress& progress_;
    const MemoryStatusSource& memory_;
    DialogHooks hooks_;
    ProgressSteps steps_;
};

}  // namespace

PackageResult RunPackageCompression(Codec& codec, Container& container, UserDialogs& dialogs,
                                    PackageProgress& progress, const MemoryStatusSource& memory,
                                    const std::vector<std::string>& chosen) {
    PackageResult result;
    progress.setBannerVisible(false);
    const std::vector<std::string> files =
        chosen.empty() ? dialogs.openFiles(kPackageTitle, kPackageImageFilter) : chosen;
    if (!files.empty()) {
        dialogs.message("Select or create directory\nfor save compressed files",
                        CountCaption(files.size()));
        Batch batch(codec, container, dialogs, progress, memory);
        std::error_code error;
        batch.working = fs::absolute(fs::path(files.front()).parent_path(), error).string();
        batch.target = ChooseTarget(dialogs, batch.working);
        if (!batch.target.empty()) {
            batch.run(files);
            progress.hide();
        }
        result.savedCount = batch.saved;
        result.targetDirectory = batch.target;
    }
    dialogs.lockInput(false);
    if (result.savedCount == 1)
        dialogs.information("The compressed file was saved at directory:\n'" +
                            result.targetDirectory);
    else if (result.savedCount > 1)
        dialogs.information("The compressed files were saved at directory:\n'" +
                            result.targetDirectory);
    progress.setBannerVisible(true);
    return result;
}

}  // namespace qx
