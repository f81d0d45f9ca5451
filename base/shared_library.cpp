#include "base/shared_library.h"

#include <dlfcn.h>

namespace qx {

SharedLibrary::SharedLibrary(const char* soname) {
    handle_ = dlopen(soname, RTLD_NOW | RTLD_LOCAL | RTLD_NODELETE);
    if (!handle_) {
        const char* why = dlerror();
        error_ = std::string("cannot load ") + soname + (why ? std::string(": ") + why : "");
    }
}

SharedLibrary::~SharedLibrary() {
    if (handle_) dlclose(handle_);
}

void* SharedLibrary::find(const char* name) {
    if (!handle_) return nullptr;
    void* address = dlsym(handle_, name);
    if (!address && error_.empty()) error_ = std::string("the system library lacks ") + name;
    return address;
}

}  // namespace qx
