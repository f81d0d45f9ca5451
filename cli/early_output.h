// The output file of a compression, made on the codec's helper thread while the calling thread
// builds the file's image: the helper is idle by then, and making a file in a directory takes
// about as long as building the image of a megapixel picture.
#pragma once

#include <optional>
#include <string>

#include "base/safe_write.h"
#include "codec/split_work.h"

namespace qx1 {

class EarlyOutput {
  public:
    // Starts making the output now when helper is given and free; otherwise it is made when
    // first asked for.
    EarlyOutput(qx::HelperThread* helper, std::string name, bool replace);
    // Waits for the helper; an output nobody committed is removed by its own destructor.
    ~EarlyOutput();
    EarlyOutput(const EarlyOutput&) = delete;
    EarlyOutput& operator=(const EarlyOutput&) = delete;

    // The output, made here if the helper has not made it.
    qx::SafeWrite& get();

  private:
    static void Make(void* self);
    void join();

    qx::HelperThread* helper_ = nullptr;
    std::string name_;
    bool replace_;
    std::optional<qx::SafeWrite> output_;
};

}  // namespace qx1
