// The dice of the game processor: one d100 generator, the Park-Miller minimal
// standard generator computed by Schrage's method in 32-bit signed
// arithmetic, whose state lives in the module state and is shared by every
// match the library plays. Every combat decision is a RollD100; the general
// random numbers (message variants, the random announcer, the random target
// distance, the opening number) come from the platform's one process-wide
// generator instead, which the game processor draws from and never seeds.
//
// Test seams (internal, never exported): SetDiceSeed, a journal of every d100
// drawn with the tag of its call site, and ScriptedDice, which hands out a
// given list of rolls and reports rolls left over or missing.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace cv {

// Advances the generator once and returns 1..100. `tag` names the call site
// for the draw journal (e.g. "initiative", "escape").
int RollD100(std::string_view tag);

// Stores the generator's state.
void SetDiceSeed(int32_t seed);
int32_t GetDiceSeed();

// Library load: the state becomes the calendar time in whole seconds, its low
// 32 bits read as signed.
void SeedDiceAtLoad();

// Reseeds from the local time of day and returns the seed: hundredths
// + 10 × hours + 1000 × minutes + 10000 × seconds (0..649,329; the weights
// overlap, the value is no positional encoding of the time).
int32_t RandomizeSystem();

// The number of d100 drawn since the library was loaded, scripted rolls
// included.
uint64_t DiceDrawCount();

// One value 0..32767 of the process-wide general generator.
int GeneralRandom();

// ---- Draw journal ---------------------------------------------------------

struct DiceDraw {
    std::string Tag;
    int Value = 0;
    bool operator==(const DiceDraw&) const = default;
};

// Records every d100 drawn while it lives. A journal opened while another is
// open takes over until it closes.
class DiceJournal {
public:
    DiceJournal();
    ~DiceJournal();
    DiceJournal(const DiceJournal&) = delete;
    DiceJournal& operator=(const DiceJournal&) = delete;

    const std::vector<DiceDraw>& Draws() const { return draws_; }
    std::vector<std::string> Tags() const;
    void Clear() { draws_.clear(); }

private:
    friend int RollD100(std::string_view);
    std::vector<DiceDraw> draws_;
    DiceJournal* previous_;
};

// ---- Scripted rolls -------------------------------------------------------

// Thrown by RollD100 when a script has no roll left for a draw.
class DiceScriptExhausted : public std::logic_error {
public:
    using std::logic_error::logic_error;
};

// While it lives, RollD100 returns the given rolls in order instead of
// advancing the generator (the seed stays untouched; the journal still
// records). A draw past the end reports "missing" and throws
// DiceScriptExhausted; rolls still unused when the script ends are reported
// as "left over". Reports go to `onFault` (tests pass their failure hook);
// without one they are printed and the process aborts.
class ScriptedDice {
public:
    using FaultHandler = std::function<void(const std::string& message)>;

    // Every roll must lie in 1..100 (std::invalid_argument otherwise).
    explicit ScriptedDice(std::vector<int> rolls, FaultHandler onFault = nullptr);
    ~ScriptedDice();
    ScriptedDice(const ScriptedDice&) = delete;
    ScriptedDice& operator=(const ScriptedDice&) = delete;

    size_t Remaining() const { return rolls_.size() - next_; }

private:
    friend int RollD100(std::string_view);
    void fault(const std::string& message) const;

    std::vector<int> rolls_;
    size_t next_ = 0;
    FaultHandler onFault_;
    ScriptedDice* previous_;
};

} // namespace cv
