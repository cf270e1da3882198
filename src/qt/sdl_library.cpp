#include "qt/sdl_library.h"

#include <dlfcn.h>

namespace pelisto {
namespace {

struct Loaded {
  SdlLibrary functions{};
  std::string why;
  bool ok = false;
};

template <typename F>
bool find(void* handle, const char* name, F& to) {
  to = reinterpret_cast<F>(dlsym(handle, name));
  return to != nullptr;
}

Loaded load() {
  Loaded l;
  void* handle = dlopen("libSDL2-2.0.so.0", RTLD_NOW | RTLD_LOCAL);
  if (!handle) {
    const char* error = dlerror();
    l.why = error ? error : "libSDL2-2.0.so.0";
    return l;
  }
  SdlLibrary& f = l.functions;
  l.ok = find(handle, "SDL_SetHint", f.SetHint) && find(handle, "SDL_SetHintWithPriority", f.SetHintWithPriority) &&
         find(handle, "SDL_InitSubSystem", f.InitSubSystem) && find(handle, "SDL_QuitSubSystem", f.QuitSubSystem) &&
         find(handle, "SDL_AudioInit", f.AudioInit) && find(handle, "SDL_AudioQuit", f.AudioQuit) &&
         find(handle, "SDL_OpenAudioDevice", f.OpenAudioDevice) &&
         find(handle, "SDL_CloseAudioDevice", f.CloseAudioDevice) &&
         find(handle, "SDL_PauseAudioDevice", f.PauseAudioDevice) &&
         find(handle, "SDL_LockAudioDevice", f.LockAudioDevice) &&
         find(handle, "SDL_UnlockAudioDevice", f.UnlockAudioDevice) &&
         find(handle, "SDL_GetCurrentAudioDriver", f.GetCurrentAudioDriver) &&
         find(handle, "SDL_GetError", f.GetError);
  if (!l.ok) l.why = "libSDL2-2.0.so.0: a function is missing";
  // The library stays loaded: its threads may outlive any one output.
  return l;
}

}  // namespace

const SdlLibrary* sdlLibrary(std::string& why) {
  static const Loaded loaded = load();
  why = loaded.why;
  return loaded.ok ? &loaded.functions : nullptr;
}

}  // namespace pelisto
