// A system library opened when a run first needs it instead of when the process starts. Every
// library an executable links is mapped and relocated before main(), a few tenths of a
// millisecond apiece, and most runs never read a JPEG or PNG nor scale a picture. The library
// stays loaded once opened (RTLD_NODELETE), so opening it again later costs a lookup, not a
// second load.
#pragma once

#include <string>

namespace qx {

class SharedLibrary {
  public:
    explicit SharedLibrary(const char* soname);
    ~SharedLibrary();
    SharedLibrary(const SharedLibrary&) = delete;
    SharedLibrary& operator=(const SharedLibrary&) = delete;

    // Looks up `name` and stores it in `function`; false (and error() says which name) when the
    // library is not open or lacks the name.
    template <typename Function>
    bool bind(const char* name, Function& function) {
        function = reinterpret_cast<Function>(find(name));
        return function != nullptr;
    }

    bool isOpen() const { return handle_ != nullptr; }
    // Why opening or a lookup failed, for people; empty while all went well.
    const std::string& error() const { return error_; }

  private:
    void* find(const char* name);

    void* handle_ = nullptr;
    std::string error_;
};

// Members and lookups for a list of functions given as X(name) entries: a record holds a
// SharedLibrary named `library`, QX_LIBRARY_MEMBER(name) for each function, and then
// `bool ready = library.isOpen() LIST(QX_LIBRARY_BIND);`, true when every name was found.
#define QX_LIBRARY_MEMBER(name) decltype(&::name) name = nullptr;
#define QX_LIBRARY_BIND(name) &&library.bind(#name, name)

}  // namespace qx
