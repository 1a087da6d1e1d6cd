// The first failed file of the current match.
#include "core/outputfault.h"

#include "core/matchfiles.h"
#include "core/module.h"
#include "platform/catalogue.h"

namespace cv {

void ReportFailedFile(int32_t message, std::string_view path) {
    OutputFault& fault = Module().Fault;
    if (fault.Message != 0) return;
    fault.Message = message;
    fault.Path.assign(path);
    // The event stops after this match: nothing it wrote stays under a
    // real name, and by the time the game master reads the box it is gone.
    TakeBackMatchFiles();
    plat::msg::showError(message, {fault.Path});
}

void ClearFailedFile() {
    Module().Fault = OutputFault{};
}

const OutputFault& FailedFile() {
    return Module().Fault;
}

} // namespace cv
