#include "headless/simulated_mci.h"

#include "headless/simulated_output.h"
#include "system/mci/mci_interpreter.h"

namespace pelisto {
namespace {

class SimulatedDevice final : public SimulatedMci {
 public:
  SimulatedDevice(FileSystem& fs, NotifySink notify) : m_interpreter(fs, m_output, std::move(notify)) {}
  MciResult send(const std::string& command) override { return m_interpreter.send(command); }
  void advanceTo(int64_t nowMs) override { m_output.advanceTo(nowMs); }
  int64_t now() const override { return m_output.now(); }
  int outputLatencyMs() const override { return m_interpreter.outputLatencyMs(); }
  void setOutputLatency(int ms) override { m_output.setLatency(ms); }

 private:
  SimulatedOutput m_output;  // outlives the interpreter
  MciInterpreter m_interpreter;
};

}  // namespace

std::unique_ptr<SimulatedMci> newSimulatedMci(FileSystem& fs, NotifySink notify) {
  return std::make_unique<SimulatedDevice>(fs, std::move(notify));
}

}  // namespace pelisto
