#include "cli/early_output.h"

#include <utility>

namespace qx1 {

EarlyOutput::EarlyOutput(qx::HelperThread* helper, std::string name, bool replace)
    : name_(std::move(name)), replace_(replace) {
    if (helper != nullptr && helper->post(&EarlyOutput::Make, this)) helper_ = helper;
}

EarlyOutput::~EarlyOutput() {
    join();
}

void EarlyOutput::Make(void* self) {
    auto* early = static_cast<EarlyOutput*>(self);
    early->output_.emplace(early->name_, early->replace_);
}

void EarlyOutput::join() {
    // A task that failed (it can only run out of memory) left no output; get() tries again.
    if (helper_ != nullptr) (void)helper_->wait();
    helper_ = nullptr;
}

qx::SafeWrite& EarlyOutput::get() {
    join();
    if (!output_) output_.emplace(name_, replace_);
    return *output_;
}

}  // namespace qx1
