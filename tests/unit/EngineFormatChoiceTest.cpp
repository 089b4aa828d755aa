// The full-screen format choice over tables of which device checks succeed: the format and device it
// settles on, the checks it makes, and every trace line.
#include "engine/EngineTexts.h"
#include "engine/FormatChoice.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <utility>
#include <vector>

using namespace engine;

namespace {

constexpr DeviceType HAL = DeviceType::Hardware;
constexpr DeviceType REF = DeviceType::Reference;
// A 24-bit display: none of the three fallbacks.
constexpr Format kDisplay = static_cast<Format>(20);

using Accepted = std::set<std::pair<DeviceType, Format>>;

std::string checked(DeviceType type, const char* label, bool ok) {
    return std::string("getGoodFormat - device=") + (type == HAL ? "D3DDEVTYPE_HAL" : "D3DDEVTYPE_REF") +
           " - check of " + label + " returns: " + (ok ? "S_OK" : "D3DERR_NOTAVAILABLE") + "\n";
}
// Every candidate refused, in order.
std::vector<std::string> allRefused(DeviceType type) {
    return {checked(type, "currentFormat", false), checked(type, "15 bit", false), checked(type, "16 bit", false),
            checked(type, "32 bit", false)};
}
std::vector<std::string> operator+(std::vector<std::string> a, const std::vector<std::string>& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}
const std::string kGivingUp = "Couldn't find a good full screen DirectX format, giving up\n";

struct Case {
    const char* what;
    bool allowReference;
    Accepted accepted;
    Format format;
    DeviceType device;
    std::vector<std::string> traces;
};

TEST(EngineFormatChoice, FallsBackThroughFifteenSixteenAndThirtyTwoBitsThenTheReferenceDevice) {
    const Format X1 = Format::X1R5G5B5, R5 = Format::R5G6B5, X8 = Format::X8R8G8B8;
    const Case cases[] = {
        {"display format", true, {{HAL, kDisplay}, {HAL, X8}}, kDisplay, HAL, {checked(HAL, "currentFormat", true)}},
        {"15 bit first of three",
         false,
         {{HAL, X1}, {HAL, R5}, {HAL, X8}},
         X1,
         HAL,
         {checked(HAL, "currentFormat", false), checked(HAL, "15 bit", true)}},
        {"16 bit",
         false,
         {{HAL, R5}, {HAL, X8}},
         R5,
         HAL,
         {checked(HAL, "currentFormat", false), checked(HAL, "15 bit", false), checked(HAL, "16 bit", true)}},
        {"32 bit",
         false,
         {{HAL, X8}, {REF, kDisplay}},
         X8,
         HAL,
         {checked(HAL, "currentFormat", false), checked(HAL, "15 bit", false), checked(HAL, "16 bit", false),
          checked(HAL, "32 bit", true)}},
        {"hardware 32 bit before any reference format",
         true,
         {{HAL, X8}, {REF, kDisplay}},
         X8,
         HAL,
         {checked(HAL, "currentFormat", false), checked(HAL, "15 bit", false), checked(HAL, "16 bit", false),
          checked(HAL, "32 bit", true)}},
        {"reference, display format",
         true,
         {{REF, kDisplay}, {REF, X1}},
         kDisplay,
         REF,
         allRefused(HAL) + std::vector<std::string>{checked(REF, "currentFormat", true)}},
        {"reference, 16 bit",
         true,
         {{REF, R5}, {REF, X8}},
         R5,
         REF,
         allRefused(HAL) + std::vector<std::string>{checked(REF, "currentFormat", false), checked(REF, "15 bit", false),
                                                    checked(REF, "16 bit", true)}},
        {"reference not allowed",
         false,
         {{REF, kDisplay}, {REF, X1}, {REF, R5}, {REF, X8}},
         Format::Unknown,
         HAL,
         allRefused(HAL) + std::vector<std::string>{kGivingUp}},
        {"nothing anywhere",
         true,
         {},
         Format::Unknown,
         REF,
         allRefused(HAL) + allRefused(REF) + std::vector<std::string>{kGivingUp}},
    };
    for (const Case& c : cases) {
        std::vector<std::pair<DeviceType, Format>> made;
        FormatChoice choice = chooseFullScreenFormat(kDisplay, c.allowReference, [&](DeviceType type, Format format) {
            made.emplace_back(type, format);
            bool ok = c.accepted.count({type, format}) != 0;
            return CheckResult{ok, ok ? "S_OK" : "D3DERR_NOTAVAILABLE"};
        });
        EXPECT_EQ(choice.format, c.format) << c.what;
        if (c.format != Format::Unknown) {
            EXPECT_EQ(choice.device, c.device) << c.what;
            EXPECT_EQ(choice.errorMessage, nullptr) << c.what;
        } else {
            EXPECT_STREQ(choice.errorMessage,
                         "Prismata was unable to find a fullscreen configuration that supports Direct3D")
                << c.what;
        }
        EXPECT_EQ(choice.traces, c.traces) << c.what;
        // One check per candidate trace, of the format its label names on the device it names.
        ASSERT_EQ(made.size(), c.traces.size() - (c.format == Format::Unknown ? 1 : 0)) << c.what;
        for (size_t i = 0; i < made.size(); ++i) {
            const std::string& line = c.traces[i];
            DeviceType type = line.find("D3DDEVTYPE_REF") != std::string::npos ? REF : HAL;
            Format format = line.find("currentFormat") != std::string::npos ? kDisplay
                            : line.find("15 bit") != std::string::npos      ? X1
                            : line.find("16 bit") != std::string::npos      ? R5
                                                                            : X8;
            EXPECT_EQ(made[i], std::make_pair(type, format)) << c.what << ", check " << i;
        }
    }
}

TEST(EngineFormatChoice, TracesNameTheCheckResultAsGiven) {
    std::vector<std::string> traces;
    Format format = getGoodFormat(
        Format::X8R8G8B8, REF,
        [](DeviceType, Format f) {
            return f == Format::R5G6B5 ? CheckResult{true, "S_OK"} : CheckResult{false, "D3DERR_INVALIDCALL"};
        },
        traces);
    EXPECT_EQ(format, Format::R5G6B5);
    EXPECT_EQ(traces,
              (std::vector<std::string>{
                  "getGoodFormat - device=D3DDEVTYPE_REF - check of currentFormat returns: D3DERR_INVALIDCALL\n",
                  "getGoodFormat - device=D3DDEVTYPE_REF - check of 15 bit returns: D3DERR_INVALIDCALL\n",
                  "getGoodFormat - device=D3DDEVTYPE_REF - check of 16 bit returns: S_OK\n"}));
}

} // namespace
