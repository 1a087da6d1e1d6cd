#include "platform/random.h"

#include <mutex>

namespace plat::random {

namespace {
std::mutex mutex;
uint32_t state = 1;
} // namespace

void seed(uint32_t s) {
    std::lock_guard<std::mutex> lock(mutex);
    state = s;
}

int next() {
    // A linear congruential generator of the classic C runtimes: the state
    // steps by 22695477·s + 1 and the value is bits 16-30.
    std::lock_guard<std::mutex> lock(mutex);
    state = state * 22695477u + 1u;
    return static_cast<int>((state >> 16) & 0x7FFF);
}

} // namespace plat::random
