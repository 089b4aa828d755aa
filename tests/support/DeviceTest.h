// A test fixture whose tests share one hidden Direct3D 8 device and get a fresh folder each for the
// picture files they write.
#pragma once

#include "tests/support/Files.h"
#include "tests/support/HiddenDevice.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace support {

class DeviceTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { s_hidden = new HiddenDevice; }
    static void TearDownTestSuite() {
        delete s_hidden;
        s_hidden = nullptr;
    }
    static IDirect3DDevice8* device() { return s_hidden->device(); }
    void SetUp() override { ASSERT_NE(device(), nullptr) << "no Direct3D 8 device"; }

    // The file's path in this test's folder.
    std::string write(const std::string& name, const std::vector<unsigned char>& data) {
        const std::string path = m_folder.path() + name;
        writeBytes(path, data);
        return path;
    }

    TempFolder m_folder{"prismata-device"};

private:
    static inline HiddenDevice* s_hidden = nullptr;
};

} // namespace support
