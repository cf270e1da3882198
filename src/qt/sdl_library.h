// SDL2, loaded when the first sound is prepared instead of when the program
// starts: the library and the score of libraries it brings along (sound
// servers, Wayland, DRM, X extensions) would otherwise hold up the window's
// first showing by some ten milliseconds. Only the functions the sound
// output uses; SDL's header gives their types.
#pragma once

#include <SDL.h>

#include <string>

namespace pelisto {

struct SdlLibrary {
  decltype(&SDL_SetHint) SetHint;
  decltype(&SDL_SetHintWithPriority) SetHintWithPriority;
  decltype(&SDL_InitSubSystem) InitSubSystem;
  decltype(&SDL_QuitSubSystem) QuitSubSystem;
  decltype(&SDL_AudioInit) AudioInit;
  decltype(&SDL_AudioQuit) AudioQuit;
  decltype(&SDL_OpenAudioDevice) OpenAudioDevice;
  decltype(&SDL_CloseAudioDevice) CloseAudioDevice;
  decltype(&SDL_PauseAudioDevice) PauseAudioDevice;
  decltype(&SDL_LockAudioDevice) LockAudioDevice;
  decltype(&SDL_UnlockAudioDevice) UnlockAudioDevice;
  decltype(&SDL_GetCurrentAudioDriver) GetCurrentAudioDriver;
  decltype(&SDL_GetError) GetError;
};

// The library, loaded on the first call (on the user-interface thread);
// null when it cannot be loaded, why in `why`.
const SdlLibrary* sdlLibrary(std::string& why);

}  // namespace pelisto
