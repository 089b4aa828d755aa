// The full-screen back-buffer format: the display's own, then 15, 16 and 32 bits, on the hardware
// device and then, where allowed, on the reference one. Portable: the checks are handed in, so the
// whole fallback can be tried against any table of answers.
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace engine {

// Direct3D 8's numbers for the formats and device types involved.
enum class Format : unsigned { Unknown = 0, X8R8G8B8 = 22, R5G6B5 = 23, X1R5G5B5 = 24 };
enum class DeviceType : unsigned { Hardware = 1, Reference = 2 };

// What one CheckDeviceType said, and the name of its result for the trace.
struct CheckResult {
    bool succeeded;
    const char* resultName;
};
// Display and back buffer in the same format, full screen.
using FormatCheck = std::function<CheckResult(DeviceType, Format)>;

struct FormatChoice {
    Format format = Format::Unknown;          // Unknown: no format fits
    DeviceType device = DeviceType::Hardware; // the type whose check passed
    std::vector<std::string> traces;          // whole lines, in the order of the checks
    const char* errorMessage = nullptr;       // when no format fits
};

// The first of the four candidates the device type accepts, or Unknown; one trace per check.
Format getGoodFormat(Format current, DeviceType type, const FormatCheck& check, std::vector<std::string>& traces);

// Hardware first; the reference device only when allowed and the hardware accepts none.
FormatChoice chooseFullScreenFormat(Format current, bool allowReference, const FormatCheck& check);

} // namespace engine
