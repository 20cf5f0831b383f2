#include "platform/process_priority.h"

#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

namespace {

// How many nice steps "below normal" is.
constexpr int kBelowNormalSteps = 5;
constexpr int kWeakestNice = 19;

// The nice value the program started with (read at the first change, which
// always comes from the normal level) and the level in force.
bool haveNormalNice = false;
int normalNice = 0;
int levelInForce = kPriorityNormal;

}  // namespace

int SetProcessPriority(int level) {
  level = level < 0 ? kPriorityBelowNormal : kPriorityNormal;
  if (!haveNormalNice) {
    errno = 0;
    const int nice = getpriority(PRIO_PROCESS, 0);
    if (nice == -1 && errno != 0) return levelInForce;
    normalNice = nice;
    haveNormalNice = true;
  }
  const int nice = level == kPriorityBelowNormal
                       ? std::min(normalNice + kBelowNormalSteps, kWeakestNice)
                       : normalNice;
  // On Linux PRIO_PROCESS with the process id sets the main thread's nice.
  if (setpriority(PRIO_PROCESS, static_cast<id_t>(getpid()), nice) == 0) levelInForce = level;
  return levelInForce;
}
