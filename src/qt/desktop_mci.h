// The desktop's media device: the command interpreter over SDL2 sound
// output (a silent output paced in real time when no device is usable).
#pragma once

#include <memory>

#include "platform/file_system.h"
#include "platform/mci.h"

namespace pelisto {

// notify is called on the audio thread; it must only queue the completion.
// noticeSink receives the one-time notice text when no sound device is found.
std::unique_ptr<MciDevice> newDesktopMci(FileSystem& fs, NotifySink notify,
                                         std::function<void(const std::string&)> noticeSink);

}  // namespace pelisto
