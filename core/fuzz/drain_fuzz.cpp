// Fuzz target: arbitrary bytes as an AK data file searched for drain data.
// Besides the sanitizers' checks it asserts the reader's promises: the
// divisors never come back below 1, the values InitCombatant took from the
// AK record (TotalCr, MachineValue) and the texts stay, and a file without
// the marker line leaves the record unchanged.
#include "core/combatant.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "fuzz/fuzzcheck.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string bytes(reinterpret_cast<const char*>(data), size);
    std::FILE* file = fmemopen(bytes.data(), bytes.size() ? bytes.size() : 1, "rb");
    if (!file) return 0;
    if (bytes.empty()) std::fgetc(file); // an empty file: nothing left to read

    cv::CombatantState s{};
    s.ComputerDown = 1.0;
    s.SensorDown = 1.0;
    s.TotalCr = 1234;
    s.MachineValue = 567;
    std::strcpy(s.PilotName, "pilot");
    cv::CombatantState before = s;

    bool found = cv::ParseDrainData(s, file);
    std::fclose(file);

    double computerDown = s.ComputerDown, sensorDown = s.SensorDown;
    FUZZ_CHECK(computerDown >= 1.0 && sensorDown >= 1.0);
    FUZZ_CHECK(s.TotalCr == 1234 && s.MachineValue == 567);
    FUZZ_CHECK(std::memcmp(s.PilotName, before.PilotName, sizeof s.PilotName) == 0);
    if (!found) FUZZ_CHECK(std::memcmp(&s, &before, sizeof s) == 0);
    if (bytes.find("\"$DRAINDATA02$\"") == std::string::npos) FUZZ_CHECK(!found);
    return 0;
}
