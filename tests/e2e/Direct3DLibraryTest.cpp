// Which Direct3D 8 a program gets: Windows has it for 32-bit programs only, from the system folder, and the
// saver must take it from there whatever lies beside it.
#include "tests/e2e/Harness.h"
#include "tests/e2e/SaverKit.h"

#include <gtest/gtest.h>

using namespace e2e;
using namespace e2e::saver;

namespace {

constexpr DWORD kWait = 15000;

// The probe's report: the program's pointer size, then how far it came towards a Direct3D 8 object.
std::string probe(const std::string& program, const TempFolder& folder, const std::string& name) {
    const std::string report = folder.path() + name;
    Process run("\"" + program + "\" \"" + report + "\"");
    DWORD code = 1;
    EXPECT_TRUE(run.waitForExit(kWait, code)) << program;
    return readTextFile(report);
}

// The test prefix is shaped like 64-bit Windows: a 64-bit program finds no Direct3DCreate8, a 32-bit one
// draws. A 64-bit build would pass every other test here and draw nothing on Windows.
TEST(Direct3DLibrary, OnlyA32BitProgramGetsDirect3D8) {
    if (sizeof(void*) == 8)
        GTEST_SKIP() << "the 64-bit twin build, for a Wine that starts no 32-bit program";
    TempFolder folder("probe");
    EXPECT_EQ(probe(binFolder() + "probes\\D3D8Probe.exe", folder, "32.txt"), "32-bit program\r\nDirect3D 8 ready\r\n");
    EXPECT_EQ(probe(binFolder() + "win64\\D3D8Probe.exe", folder, "64.txt"),
              "64-bit program\r\nno Direct3DCreate8\r\n");
}

// A d3d8.dll beside the saver, which is also its current folder (as a picture folder may be), is never
// loaded: this one makes no Direct3D object, and a show that took it would draw only its failure text.
TEST(Direct3DLibrary, ADirect3DLibraryBesideTheSaverIsNeverLoaded) {
    // Windows loads the first d3d8.dll its search finds; Wine would prefer its own unless told not to.
    AppDefault nativeFirst("Prismata.scr", "DllOverrides", "d3d8", "native,builtin");
    ProgramCopy saver;
    saver.addDouble("stray\\d3d8.dll", "d3d8.dll");
    Logger logger;
    auto prismata = saver.start("/t");
    HWND window = waitForProcessWindow(prismata->id(), kSaverTitle, kWait);
    ASSERT_TRUE(window);
    // Either way the engine's set-up ends with one of these.
    ASSERT_TRUE(pumpUntil(
        [&] {
            const std::string log = logger.text();
            return log.find("Done with Direct3D setup\r\n") != std::string::npos ||
                   log.find("Done killing mmtimer\r\n") != std::string::npos;
        },
        kWait))
        << logger.text();
    EXPECT_NE(logger.text().find("Done with Direct3D setup\r\n"), std::string::npos) << logger.text();

    PostMessageA(window, WM_KEYDOWN, 'A', 0);
    DWORD code = 1;
    ASSERT_TRUE(prismata->waitForExit(kWait, code));
    EXPECT_EQ(code, 0u);
}

} // namespace
