// The d100 generator, its seeding and the test seams around it.
#include "core/dice.h"

#include "core/module.h"
#include "platform/clock.h"
#include "platform/random.h"

#include <cstdio>
#include <cstdlib>

namespace cv {

namespace {

DiceJournal* activeJournal = nullptr;
ScriptedDice* activeScript = nullptr;

// One Park-Miller step by Schrage's method: multiplier 16807, modulus
// 2^31 - 1, with q = 127773 and r = 2836. Every intermediate value fits 32
// bits (the two products have the same sign); 0 and 2^31 - 1 both lead to
// 2^31 - 1, a fixed point.
int32_t nextState(int32_t seed) {
    int32_t hi = seed / 127773;
    int32_t lo = seed % 127773;
    int32_t s = 16807 * lo - 2836 * hi;
    if (s <= 0) s += 2147483647;
    return s;
}

} // namespace

int RollD100(std::string_view tag) {
    int value;
    if (ScriptedDice* script = activeScript) {
        if (script->next_ >= script->rolls_.size()) {
            std::string message = "d100 roll missing at \"" + std::string(tag) + "\"";
            script->fault(message);
            throw DiceScriptExhausted(message);
        }
        value = script->rolls_[script->next_++];
    } else {
        int32_t s = nextState(Module().DiceSeed);
        Module().DiceSeed = s;
        value = s % 100 + 1;
    }
    ++Module().DiceDraws;
    if (activeJournal) activeJournal->draws_.push_back({std::string(tag), value});
    return value;
}

void SetDiceSeed(int32_t seed) {
    Module().DiceSeed = seed;
}

int32_t GetDiceSeed() {
    return Module().DiceSeed;
}

void SeedDiceAtLoad() {
    uint64_t t = static_cast<uint64_t>(plat::clock::epochSeconds());
    Module().DiceSeed = static_cast<int32_t>(static_cast<uint32_t>(t));
}

int32_t RandomizeSystem() {
    plat::clock::LocalTime t = plat::clock::localNow();
    int32_t seed = t.centisecond + 10 * t.hour + 1000 * t.minute + 10000 * t.second;
    Module().DiceSeed = seed;
    return seed;
}

uint64_t DiceDrawCount() {
    return Module().DiceDraws;
}

int GeneralRandom() {
    return plat::random::next();
}

// ---- Journal ----------------------------------------------------------------

DiceJournal::DiceJournal() : previous_(activeJournal) {
    activeJournal = this;
}

DiceJournal::~DiceJournal() {
    activeJournal = previous_;
}

std::vector<std::string> DiceJournal::Tags() const {
    std::vector<std::string> tags;
    for (const DiceDraw& d : draws_) tags.push_back(d.Tag);
    return tags;
}

// ---- Scripted rolls ---------------------------------------------------------

ScriptedDice::ScriptedDice(std::vector<int> rolls, FaultHandler onFault)
    : rolls_(std::move(rolls)), onFault_(std::move(onFault)), previous_(activeScript) {
    for (int r : rolls_)
        if (r < 1 || r > 100) throw std::invalid_argument("a d100 roll must lie in 1..100");
    activeScript = this;
}

ScriptedDice::~ScriptedDice() {
    activeScript = previous_;
    if (Remaining() == 0) return;
    std::string message = std::to_string(Remaining()) + " d100 roll(s) left over:";
    for (size_t i = next_; i < rolls_.size(); ++i) message.append(" ").append(std::to_string(rolls_[i]));
    fault(message);
}

void ScriptedDice::fault(const std::string& message) const {
    if (onFault_) {
        onFault_(message);
        return;
    }
    std::fprintf(stderr, "scripted dice: %s\n", message.c_str());
    std::abort();
}

} // namespace cv
