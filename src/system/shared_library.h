// Libraries the program opens when it first needs them rather than when it
// starts (each brings others along, and loading them all would hold up the
// window's first showing): opened once, never closed.
#pragma once

#include <dlfcn.h>

#include <string>

namespace pelisto {

// The library of that name (its soname), or null with why.
inline void* openSharedLibrary(const char* soname, std::string& why) {
  void* handle = dlopen(soname, RTLD_NOW | RTLD_LOCAL);
  if (!handle) {
    const char* error = dlerror();
    why = error ? error : soname;
  }
  return handle;
}

// Sets `to` to the library's function `name`; false (with why) when it has
// none of that name.
template <typename F>
bool findFunction(void* handle, const char* name, F& to, std::string& why) {
  to = reinterpret_cast<F>(dlsym(handle, name));
  if (!to) why = std::string("no function ") + name;
  return to != nullptr;
}

}  // namespace pelisto
