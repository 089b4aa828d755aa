// The display engine: one per showing of the cube. Owns every Direct3D object, the face textures and
// the texture loader thread; shares the queue of loaded textures, its lock and the kill event with that
// thread, which holds its own reference to the device.
//
// Threads: set-up and destruction run on the window thread; renderFrame on the frame thread (one
// tick at a time); the loader thread appends to the queue under its lock. The owner destroys the
// engine only once no frame tick can run any more.
#pragma once

#include "d3dx/D3DX8.h"
#include "engine/CubeGeometry.h"
#include "engine/DeviceCalls.h"
#include "engine/EngineTexts.h"
#include "engine/Motion.h"
#include "engine/TextureLoader.h"
#include "framework/Handles.h"

#include <atomic>
#include <memory>

class DXGraphics {
public:
    DXGraphics() = default;
    ~DXGraphics();
    DXGraphics(const DXGraphics&) = delete;
    DXGraphics& operator=(const DXGraphics&) = delete;

    // Before set-up: the device window, windowed or full screen, and the back-buffer size
    // (-1 stands for the display mode's).
    void setWindow(HWND window, bool windowed, int width, int height);
    void setMotion(const motion::MotionParams& params);
    void setLowResolution(bool lowResolution) { m_lowResolution = lowResolution; }
    // Where the device set-up and the texture loader read their settings.
    void setProfile(const settings::ProfileStore& profile) { m_profile = profile; }
    void setDeviceCalls(const engine::DeviceCalls& calls) { m_deviceCalls = calls; }

    // Chooses the device and builds the scene; on failure the engine stays not alive.
    void setupDirect3D();

    bool isAlive() const { return static_cast<bool>(m_d3d); }
    bool isWindowed() const { return m_windowed; }
    // Why the engine is not alive, or null.
    const char* errorMessage() const { return m_errorMessage; }

    // Draws and moves the cube once, presents, and puts at most one loaded picture on a face. Draws nothing
    // while the device is lost.
    void renderFrame();
    // Present reported the device lost; frames are skipped until restoreDevice has mended it.
    bool deviceLost() const { return m_lost.load(std::memory_order_acquire); }
    // On the thread that created the device, never the frame thread: once the device may be reset, resets
    // it with the presentation parameters it was made with and sets the scene state again. The textures
    // and the vertex buffer live in the managed pool and survive. True when the device is back.
    bool restoreDevice();

private:
    bool CreateDX();
    // The back-buffer format (and, full screen, size) for the display mode; false when there is none.
    bool chooseWindowedFormat(const D3DDISPLAYMODE& mode, D3DPRESENT_PARAMETERS& params);
    bool chooseFullScreenFormat(const D3DDISPLAYMODE& mode, D3DPRESENT_PARAMETERS& params);
    // The hardware device, else the reference one where allowed; on failure the window is put back.
    bool createDevice(D3DPRESENT_PARAMETERS& params);
    void setStageStates();
    void buildCube();
    // The six built-in face textures: small ones in a window, full-sized ones on the whole screen.
    void loadTexture();
    void setSceneState();
    // The TextureLoader thread, below normal priority.
    void startTextureLoader();
    // Sets the kill event and waits for the thread, at most 10 s. A loader still running after that
    // keeps what it uses and ends by itself.
    void stopTextureLoader();
    bool allowSoftwareAcceleration() const;
    void keepFacesUpright(int pair, const D3DXMATRIX& worldViewProjection);
    void takePendingTexture();
    void cleanup();

    settings::ProfileStore m_profile;
    engine::DeviceCalls m_deviceCalls;
    d3dx::D3D8Library m_d3d8; // outlives every object made from it
    fw::ComPtr<IDirect3D8> m_d3d;
    fw::ComPtr<IDirect3DDevice8> m_device;
    fw::ComPtr<IDirect3DVertexBuffer8> m_cubeVertexBuffer;
    fw::KernelHandle m_loaderThread;
    // The pending textures, their lock and the kill event, shared with the loader thread.
    std::shared_ptr<loader::LoaderShared> m_loader = std::make_shared<loader::LoaderShared>();
    HWND m_window = nullptr;
    // What the device was made with, for its reset.
    D3DPRESENT_PARAMETERS m_presentParams{};
    // Set by the frame thread, cleared by the window thread once the device is reset; while set, only the
    // window thread uses the device for drawing state.
    std::atomic<bool> m_lost{false};
    HRESULT m_lastResetFailure = D3D_OK; // window thread
    bool m_windowed = true;
    int m_width = 320;
    int m_height = 240;
    bool m_lowResolution = false;
    const char* m_errorMessage = nullptr;
    fw::ComPtr<IDirect3DTexture8> m_faceTexture[cube::kFaceCount];
    bool m_facePicture[cube::kFaceCount] = {};
    // Motion: frame thread only once set up.
    motion::Vec3 m_spinRate{};
    motion::Vec3 m_velocity{};
    float m_zMax = 0;
    float m_zMin = 0;
    bool m_keepUpright = false;
    DWORD m_startTime = 0;
    int m_uprightPair = 0;
    motion::Vec3 m_position{};
    int m_nextFace = 0;

    D3DXMATRIX m_projection{};
    // What the (write-only) vertex buffer holds, for the clip and upright computations.
    cube::CubeVertex m_vertices[cube::kVertexCount]{};
    // Holds a formatted device-error text that m_errorMessage points at.
    char m_messageBuffer[engine::kMessageBufferSize] = "";
};
