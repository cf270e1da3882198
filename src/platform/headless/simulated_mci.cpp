#include "platform/headless/simulated_mci.h"

namespace pelisto {
namespace {

// Placeholder until the interpreter lands: accepts every command.
class AcceptingMci final : public SimulatedMci {
 public:
  MciResult send(const std::string&) override { return MciResult{}; }
  void advanceTo(int64_t nowMs) override { m_now = nowMs > m_now ? nowMs : m_now; }
  int64_t now() const override { return m_now; }

 private:
  int64_t m_now = 0;
};

}  // namespace

std::unique_ptr<SimulatedMci> newSimulatedMci(FileSystem&, NotifySink) {
  return std::make_unique<AcceptingMci>();
}

}  // namespace pelisto
