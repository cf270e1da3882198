#include "platform/qt/desktop_mci.h"

namespace pelisto {
namespace {

// Placeholder until the interpreter and SDL output land: accepts every command.
class AcceptingMci final : public MciDevice {
 public:
  MciResult send(const std::string&) override { return MciResult{}; }
};

}  // namespace

std::unique_ptr<MciDevice> newDesktopMci(FileSystem&, NotifySink,
                                         std::function<void(const std::string&)>) {
  return std::make_unique<AcceptingMci>();
}

}  // namespace pelisto
