// Blocks handed from their owner's thread to a helper that uses them in
// order: the owner fills the next block while the helper uses the ones
// before it. The blocks form a ring of `count`, so the owner waits only
// when the helper is count - 1 blocks behind (and neither waits on the
// other while the system lends a core elsewhere for a moment). The first
// use that fails ends the pipe: the blocks after it are not used, and the
// owner's next call returns the failure. Where the system gives no
// thread, each block is used as it is handed.
#pragma once

#include <cstddef>
#include <functional>
#include <vector>

#include "platform/helper_thread.h"
#include "platform/status.h"

namespace pelisto {

template <class Block>
class BlockPipe {
 public:
  BlockPipe(size_t count, std::function<Status(Block&)> use)
      : m_blocks(count), m_statuses(count), m_use(std::move(use)), m_helper([this] { work(); }) {}

  // The block to fill next, once the helper is done with it.
  Result<Block*> next() {
    if (Status st = settle(m_blocks.size() - 1); !st) return st;
    return &m_blocks[m_handed % m_blocks.size()];
  }
  // The block next() gave goes to the helper.
  void hand() {
    ++m_handed;
    m_helper.start();
  }
  // Waits until every block handed is used.
  Status finish() { return settle(0); }

 private:
  // Waits until at most `pending` blocks are left to the helper; the first
  // that failed ends the pipe.
  Status settle(size_t pending) {
    const size_t done = m_handed - m_helper.wait(pending);
    for (; m_settled < done; ++m_settled) {
      if (const Status& st = m_statuses[m_settled % m_blocks.size()]; !st) return st;
    }
    return Status::ok();
  }
  void work() {  // on the helper
    const size_t at = m_worked++ % m_blocks.size();
    if (m_failed) return;  // never checked: the owner stops at the failure before it
    m_statuses[at] = m_use(m_blocks[at]);
    m_failed = !m_statuses[at];
  }

  std::vector<Block> m_blocks;
  std::vector<Status> m_statuses;  // the helper's
  std::function<Status(Block&)> m_use;
  size_t m_handed = 0;    // blocks handed to the helper (the owner's count)
  size_t m_settled = 0;   // blocks used and checked (the owner's count)
  size_t m_worked = 0;    // blocks the helper has taken (the helper's count)
  bool m_failed = false;  // the helper's: a block failed, the rest are not used
  // The last member: it ends (waiting for the use in progress) before the
  // blocks go.
  HelperThread m_helper;
};

}  // namespace pelisto
