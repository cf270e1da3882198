#include "qt/sdl_library.h"

#include "system/shared_library.h"

namespace pelisto {
namespace {

struct Loaded {
  SdlLibrary functions{};
  std::string why;
  bool ok = false;
};

Loaded load() {
  Loaded l;
  void* lib = openSharedLibrary("libSDL2-2.0.so.0", l.why);
  SdlLibrary& f = l.functions;
  l.ok = lib && findFunction(lib, "SDL_SetHint", f.SetHint, l.why) &&
         findFunction(lib, "SDL_SetHintWithPriority", f.SetHintWithPriority, l.why) &&
         findFunction(lib, "SDL_InitSubSystem", f.InitSubSystem, l.why) &&
         findFunction(lib, "SDL_QuitSubSystem", f.QuitSubSystem, l.why) &&
         findFunction(lib, "SDL_AudioInit", f.AudioInit, l.why) && findFunction(lib, "SDL_AudioQuit", f.AudioQuit, l.why) &&
         findFunction(lib, "SDL_OpenAudioDevice", f.OpenAudioDevice, l.why) &&
         findFunction(lib, "SDL_CloseAudioDevice", f.CloseAudioDevice, l.why) &&
         findFunction(lib, "SDL_PauseAudioDevice", f.PauseAudioDevice, l.why) &&
         findFunction(lib, "SDL_LockAudioDevice", f.LockAudioDevice, l.why) &&
         findFunction(lib, "SDL_UnlockAudioDevice", f.UnlockAudioDevice, l.why) &&
         findFunction(lib, "SDL_GetCurrentAudioDriver", f.GetCurrentAudioDriver, l.why) &&
         findFunction(lib, "SDL_GetError", f.GetError, l.why);
  return l;
}

}  // namespace

const SdlLibrary* sdlLibrary(std::string& why) {
  static const Loaded loaded = load();
  why = loaded.why;
  return loaded.ok ? &loaded.functions : nullptr;
}

}  // namespace pelisto
