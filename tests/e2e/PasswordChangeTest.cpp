// The password-change mode: "/a <window>" hands "SCRSAVE", the window and two zeros to MPR.DLL's
// PwdChangePasswordA and ends; without a usable library or export it ends silently.
#include "tests/e2e/SaverKit.h"

#include <gtest/gtest.h>

using namespace e2e;
using namespace e2e::saver;

namespace {

const char kModeTraces[] = "*\r\n Prismata starting in password entry mode\r\n*\r\n";

class PasswordChange : public ::testing::Test {
protected:
    void SetUp() override { m_entry.setFolder(m_install.path()); }

    // Runs the mode to its end; returns the trace log.
    std::string run(const ProgramCopy& program, const std::string& arguments, bool preferNative) {
        Logger logger;
        std::unique_ptr<NativeMprFirst> nativeMpr;
        if (preferNative)
            nativeMpr = std::make_unique<NativeMprFirst>();
        auto prismata = program.start(arguments);
        DWORD code = 1;
        EXPECT_TRUE(prismata->waitForExit(kExitWait, code)) << arguments;
        EXPECT_EQ(code, 0u) << arguments;
        return logger.text();
    }

    TempFolder m_install{"install"};
    InstallEntry m_entry;
};

TEST_F(PasswordChange, HandsTheProviderTheWindowAndTwoZerosToMpr) {
    struct Case {
        const char* arguments;
        const char* recorded;
    };
    const Case cases[] = {
        {"/a 4321", "PwdChangePasswordA SCRSAVE 4321 0 0"},
        {"-A:987654", "PwdChangePasswordA SCRSAVE 987654 0 0"},
        {"/a", "PwdChangePasswordA SCRSAVE 0 0 0"},
    };
    for (const Case& c : cases) {
        ProgramCopy program;
        program.addDouble("MPR.DLL");
        EXPECT_EQ(run(program, c.arguments, true), kModeTraces);
        EXPECT_EQ(fileLines(program.path() + "PwdChangePasswordA.calls"), std::vector<std::string>{c.recorded})
            << c.arguments;
    }
}

TEST_F(PasswordChange, EndsSilentlyWithoutAUsableChangeFunction) {
    // The system's own mpr; a DLL beside the program that lacks the export; a file that is no DLL
    // (the loader then falls back to the builtin).
    enum class Beside { Nothing, DllWithoutExport, NotADll };
    for (Beside beside : {Beside::Nothing, Beside::DllWithoutExport, Beside::NotADll}) {
        ProgramCopy program;
        if (beside == Beside::DllWithoutExport)
            program.addDouble("PASSWORD.CPL", "MPR.DLL");
        if (beside == Beside::NotADll)
            writeTextFile(program.path() + "MPR.DLL", "not a library");
        EXPECT_EQ(run(program, "/a 4321", beside != Beside::Nothing), kModeTraces) << static_cast<int>(beside);
        EXPECT_FALSE(fileExists(program.path() + "PwdChangePasswordA.calls"));
    }
}

} // namespace
