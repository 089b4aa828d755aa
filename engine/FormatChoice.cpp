#include "engine/FormatChoice.h"

#include "engine/EngineTexts.h"

namespace engine {

namespace {

const char* deviceTypeName(DeviceType type) {
    return type == DeviceType::Reference ? "D3DDEVTYPE_REF" : "D3DDEVTYPE_HAL";
}

} // namespace

Format getGoodFormat(Format current, DeviceType type, const FormatCheck& check, std::vector<std::string>& traces) {
    const struct {
        Format format;
        const char* label;
    } candidates[] = {
        {current, "currentFormat"},
        {Format::X1R5G5B5, "15 bit"},
        {Format::R5G6B5, "16 bit"},
        {Format::X8R8G8B8, "32 bit"},
    };
    for (const auto& candidate : candidates) {
        const CheckResult result = check(type, candidate.format);
        traces.push_back(std::string("getGoodFormat - device=") + deviceTypeName(type) + " - check of " +
                         candidate.label + " returns: " + (result.resultName ? result.resultName : "") + "\n");
        if (result.succeeded)
            return candidate.format;
    }
    return Format::Unknown;
}

FormatChoice chooseFullScreenFormat(Format current, bool allowReference, const FormatCheck& check) {
    FormatChoice choice;
    choice.format = getGoodFormat(current, DeviceType::Hardware, check, choice.traces);
    if (choice.format == Format::Unknown && allowReference) {
        choice.device = DeviceType::Reference;
        choice.format = getGoodFormat(current, DeviceType::Reference, check, choice.traces);
    }
    if (choice.format == Format::Unknown) {
        choice.traces.push_back("Couldn't find a good full screen DirectX format, giving up\n");
        choice.errorMessage = kNoFullScreenConfigText;
    }
    return choice;
}

} // namespace engine
