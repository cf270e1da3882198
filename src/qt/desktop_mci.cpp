#include "qt/desktop_mci.h"

#include "system/mci/mci_interpreter.h"
#include "qt/sdl_output.h"

namespace pelisto {
namespace {

class DesktopMci final : public MciDevice {
 public:
  DesktopMci(FileSystem& fs, NotifySink notify, std::function<void(const std::string&)> notice)
      : m_output(std::move(notice)), m_interpreter(fs, m_output, std::move(notify)) {}
  MciResult send(const std::string& command) override { return m_interpreter.send(command); }
  int outputLatencyMs() const override { return m_interpreter.outputLatencyMs(); }

 private:
  SdlOutput m_output;  // outlives the interpreter
  MciInterpreter m_interpreter;
};

}  // namespace

std::unique_ptr<MciDevice> newDesktopMci(FileSystem& fs, NotifySink notify,
                                         std::function<void(const std::string&)> noticeSink) {
  return std::make_unique<DesktopMci>(fs, std::move(notify), std::move(noticeSink));
}

}  // namespace pelisto
