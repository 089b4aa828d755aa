#include "engine/DXGraphics.h"

#include "framework/Trace.h"
#include "engine/ClipBits.h"
#include "engine/EngineTexts.h"
#include "engine/FormatChoice.h"
#include "engine/Upright.h"
#include "resources/faces_ids.h"
#include "settings/SettingsKeys.h"

#include <mmsystem.h>

#include <cstring>
#include <utility>

namespace {
// FPU_PRESERVE: without it Direct3D leaves the x87 unit of the calling thread at single precision, and the
// x87 code we still run (the C runtime's math and formatting) would lose the precision of its doubles.
constexpr DWORD kCreateFlags = D3DCREATE_SOFTWARE_VERTEXPROCESSING | D3DCREATE_MULTITHREADED | D3DCREATE_FPU_PRESERVE;
constexpr DWORD kLoaderStopWait = 10000;
constexpr float kFieldOfView = 0.7853982f;
constexpr float kNearPlane = 1.0f;
constexpr float kFarPlane = 100.0f;
constexpr D3DCOLOR kBlack = 0xFF000000;

const char* resultName(HRESULT result) {
    return DXGetErrorString8A(result);
}

static_assert(static_cast<D3DFORMAT>(engine::Format::X1R5G5B5) == D3DFMT_X1R5G5B5);
static_assert(static_cast<D3DFORMAT>(engine::Format::R5G6B5) == D3DFMT_R5G6B5);
static_assert(static_cast<D3DFORMAT>(engine::Format::X8R8G8B8) == D3DFMT_X8R8G8B8);
static_assert(static_cast<D3DFORMAT>(engine::Format::Unknown) == D3DFMT_UNKNOWN);
static_assert(static_cast<D3DDEVTYPE>(engine::DeviceType::Hardware) == D3DDEVTYPE_HAL);
static_assert(static_cast<D3DDEVTYPE>(engine::DeviceType::Reference) == D3DDEVTYPE_REF);

} // namespace

bool DXGraphics::allowSoftwareAcceleration() const {
    return m_profile.readInt(keys::kSettings, keys::kAllowSoftwareAcceleration, 0) != 0;
}

DXGraphics::~DXGraphics() {
    stopTextureLoader();
    {
        fw::ScopedLock lock(m_loader->lock);
        while (!m_loader->queue.empty())
            m_loader->queue.pop_front();
    }
    // The last reference when the loader has ended: the device then goes in cleanup, as it would alone.
    m_loader.reset();
    cleanup();
}

void DXGraphics::setWindow(HWND window, bool windowed, int width, int height) {
    m_window = window;
    m_windowed = windowed;
    m_width = width;
    m_height = height;
}

void DXGraphics::setMotion(const motion::MotionParams& params) {
    m_spinRate = params.spinRate;
    m_velocity = params.velocity;
    m_zMin = params.zMin;
    m_zMax = params.zMax;
    m_keepUpright = params.keepUpright;
    // What this showing turns and drifts with, in the engine's own units.
    Trace("Cube motion: spin %f %f %f rad/s, drift %f %f %f per frame, depth %f to %f, keep upright %d\n",
          static_cast<double>(m_spinRate.x), static_cast<double>(m_spinRate.y), static_cast<double>(m_spinRate.z),
          static_cast<double>(m_velocity.x), static_cast<double>(m_velocity.y), static_cast<double>(m_velocity.z),
          static_cast<double>(m_zMin), static_cast<double>(m_zMax), m_keepUpright ? 1 : 0);
}

void DXGraphics::setupDirect3D() {
    Trace("Starting Direct3D create routine\n");
    if (!CreateDX())
        return;
    buildCube();
    loadTexture();
    setSceneState();
    // Unnamed: a shared name would let another running instance take our loader's stop signal.
    m_loader->killEvent.reset(CreateEventA(nullptr, FALSE, FALSE, nullptr));
    startTextureLoader();
    m_startTime = timeGetTime();
    m_position = motion::startPosition(m_zMin, m_zMax);
    m_uprightPair = 0;
    Trace("Done with Direct3D setup\n");
}

bool DXGraphics::CreateDX() {
    if (!m_d3d)
        m_d3d.reset(m_d3d8.create(d3dx::kD3DSdkVersion));
    if (!m_d3d) {
        m_errorMessage = engine::kNoDirect3DText;
        return false;
    }
    D3DDISPLAYMODE mode{};
    (void)m_d3d->GetAdapterDisplayMode(D3DADAPTER_DEFAULT, &mode);
    if (m_width == -1)
        m_width = static_cast<int>(mode.Width);
    if (m_height == -1)
        m_height = static_cast<int>(mode.Height);
    if (m_lowResolution && !m_windowed) {
        m_width = 640;
        m_height = 480;
    }

    D3DPRESENT_PARAMETERS params{};
    params.BackBufferCount = 1;
    params.MultiSampleType = D3DMULTISAMPLE_NONE;
    params.SwapEffect = D3DSWAPEFFECT_DISCARD;
    params.hDeviceWindow = m_window;
    params.Windowed = m_windowed;
    params.EnableAutoDepthStencil = FALSE;
    params.Flags = 0;
    if (!(m_windowed ? chooseWindowedFormat(mode, params) : chooseFullScreenFormat(mode, params)))
        return false;

    if (m_device)
        (void)m_device->Reset(&params);
    else if (!createDevice(params))
        return false;
    setStageStates();
    return true;
}

bool DXGraphics::chooseWindowedFormat(const D3DDISPLAYMODE& mode, D3DPRESENT_PARAMETERS& params) {
    // Back-buffer size 0: the window's.
    params.BackBufferFormat = mode.Format;
    HRESULT check = m_d3d->CheckDeviceType(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, mode.Format, mode.Format, TRUE);
    Trace("CheckDeviceType(windowed) - device=D3DDEVTYPE_HAL - check of currentFormat returns: %s\n",
          resultName(check));
    if (FAILED(check) && allowSoftwareAcceleration()) {
        check = m_d3d->CheckDeviceType(D3DADAPTER_DEFAULT, D3DDEVTYPE_REF, mode.Format, mode.Format, TRUE);
        Trace("CheckDeviceType(windowed) - device=D3DDEVTYPE_REF - check of currentFormat returns: %s\n",
              resultName(check));
    }
    if (SUCCEEDED(check))
        return true;
    Trace("Couldn't find a good windowed DirectX format, giving up\n");
    m_d3d.reset();
    m_errorMessage = engine::kNoWindowedConfigText;
    return false;
}

bool DXGraphics::chooseFullScreenFormat(const D3DDISPLAYMODE& mode, D3DPRESENT_PARAMETERS& params) {
    params.BackBufferWidth = static_cast<UINT>(m_width);
    params.BackBufferHeight = static_cast<UINT>(m_height);
    params.FullScreen_RefreshRateInHz = 0;
    params.FullScreen_PresentationInterval = D3DPRESENT_INTERVAL_DEFAULT;
    const engine::FormatChoice choice = engine::chooseFullScreenFormat(
        static_cast<engine::Format>(mode.Format), allowSoftwareAcceleration(),
        [this](engine::DeviceType type, engine::Format format) {
            const auto d3dFormat = static_cast<D3DFORMAT>(format);
            HRESULT check =
                m_d3d->CheckDeviceType(D3DADAPTER_DEFAULT, static_cast<D3DDEVTYPE>(type), d3dFormat, d3dFormat, FALSE);
            return engine::CheckResult{SUCCEEDED(check), resultName(check)};
        });
    for (const std::string& line : choice.traces)
        Trace("%s", line.c_str());
    if (choice.format == engine::Format::Unknown) {
        m_d3d.reset();
        m_errorMessage = choice.errorMessage;
        return false;
    }
    // Only the format is carried forward: the hardware device is always tried first.
    params.BackBufferFormat = static_cast<D3DFORMAT>(choice.format);
    return true;
}

bool DXGraphics::createDevice(D3DPRESENT_PARAMETERS& params) {
    // A full-screen attempt may resize the window to the requested mode before it fails.
    RECT windowRect{};
    (void)GetWindowRect(m_window, &windowRect);
    HRESULT made =
        m_d3d->CreateDevice(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, m_window, kCreateFlags, &params, m_device.receive());
    if (SUCCEEDED(made))
        return true;
    Trace("CreateDevice(HAL) returned error code: %s\n", resultName(made));
    engine::formatDeviceError(m_messageBuffer, resultName(made));
    m_errorMessage = m_messageBuffer;
    if (allowSoftwareAcceleration()) {
        made = m_d3d->CreateDevice(D3DADAPTER_DEFAULT, D3DDEVTYPE_REF, m_window, kCreateFlags, &params,
                                   m_device.receive());
        Trace("CreateDevice(REF) returned %x\n", static_cast<unsigned>(made));
        if (SUCCEEDED(made) && m_device)
            return true;
        engine::appendSoftwareFailed(m_messageBuffer);
        Trace("CreateDevice(REF) returned error code: %s\n", resultName(made));
    }
    m_device.reset();
    m_d3d.reset();
    // The failure text is shown in the (top-level) window as it was.
    if (!m_windowed)
        (void)SetWindowPos(m_window, nullptr, windowRect.left, windowRect.top, windowRect.right - windowRect.left,
                           windowRect.bottom - windowRect.top, SWP_NOZORDER | SWP_NOACTIVATE);
    // Traced once the window is back, so a reader of this line sees the window as it stays.
    Trace("CreateDX() failed - CreateDevice() mode failed using current screen mode\n");
    return false;
}

void DXGraphics::setStageStates() {
    // The face colour is exactly the texel colour.
    (void)m_device->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG1);
    (void)m_device->SetTextureStageState(0, D3DTSS_COLORARG1, D3DTA_TEXTURE);
    (void)m_device->SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_SELECTARG1);
    (void)m_device->SetTextureStageState(0, D3DTSS_ALPHAARG1, D3DTA_TEXTURE);
    (void)m_device->SetRenderState(D3DRS_ALPHABLENDENABLE, FALSE);
}

void DXGraphics::buildCube() {
    cube::buildCubeVertices(m_vertices);
    (void)m_device->CreateVertexBuffer(sizeof m_vertices, D3DUSAGE_WRITEONLY, cube::kCubeFvf, D3DPOOL_MANAGED,
                                       m_cubeVertexBuffer.receive());
    if (!m_cubeVertexBuffer)
        return;
    BYTE* data = nullptr;
    if (SUCCEEDED(m_cubeVertexBuffer->Lock(0, 0, &data, 0)) && data) {
        std::memcpy(data, m_vertices, sizeof m_vertices);
        (void)m_cubeVertexBuffer->Unlock();
    }
}

void DXGraphics::loadTexture() {
    int first = IDB_FACE_LARGE_FIRST;
    if (m_windowed) {
        Trace("Loading small textures\n");
        first = IDB_FACE_SMALL_FIRST;
    } else {
        Trace("Loading full sized textures\n");
    }
    HMODULE module = GetModuleHandleA(nullptr);
    for (int face = 0; face < cube::kFaceCount; ++face) {
        HRESULT made = D3DXCreateTextureFromResourceA(m_device.get(), module, MAKEINTRESOURCEA(first + face),
                                                      m_faceTexture[face].receive());
        // Only the first face is reported; a face whose texture failed is drawn without one.
        if (face == 0 && FAILED(made))
            Trace("Attempt to create texture from resource in loadTexture() returned error: %s\n", resultName(made));
    }
    Trace("Done loading textures\n");
}

void DXGraphics::setSceneState() {
    (void)m_device->SetRenderState(D3DRS_LIGHTING, FALSE);
    (void)m_device->SetRenderState(D3DRS_CULLMODE, D3DCULL_CCW);
    D3DXMatrixPerspectiveFovLH(&m_projection, kFieldOfView, cube::viewAspect(m_width, m_height), kNearPlane, kFarPlane);
    (void)m_device->SetTransform(D3DTS_PROJECTION, asD3DMatrix(m_projection));
    (void)m_device->SetVertexShader(cube::kCubeFvf);
    (void)m_device->SetStreamSource(0, m_cubeVertexBuffer.get(), sizeof(cube::CubeVertex));
}

void DXGraphics::startTextureLoader() {
    m_device->AddRef();
    m_loader->device.reset(m_device.get());
    m_loader->profile = m_profile;
    auto* share = new std::shared_ptr<loader::LoaderShared>(m_loader);
    DWORD id = 0;
    // Suspended until its priority is set, so that it never competes with the frames at normal priority.
    m_loaderThread.reset(CreateThread(nullptr, 0, TextureLoader, share, CREATE_SUSPENDED, &id));
    if (!m_loaderThread) {
        delete share;
        return;
    }
    (void)SetThreadPriority(m_loaderThread.get(), THREAD_PRIORITY_BELOW_NORMAL);
    (void)ResumeThread(m_loaderThread.get());
}

void DXGraphics::stopTextureLoader() {
    if (m_loader->killEvent) {
        Trace("Setting kill event for texture loading thread\n");
        (void)SetEvent(m_loader->killEvent.get());
    } else {
        Trace("Can't set kill event, handle is NULL!!!\n");
    }
    if (!m_loaderThread)
        return;
    DWORD exitCode = 0;
    (void)GetExitCodeThread(m_loaderThread.get(), &exitCode);
    if (exitCode != STILL_ACTIVE) {
        Trace("Thread has already terminated, not going to wait\n");
        return;
    }
    Trace("Waiting for thread to exit\n");
    if (WaitForSingleObject(m_loaderThread.get(), kLoaderStopWait) != WAIT_TIMEOUT) {
        Trace("Texture loading thread shut down properly\n");
        return;
    }
    // Still reading or decoding. It appends nothing more now that the event is set, and what it still
    // uses it holds itself; it ends at its next look at the event.
    Trace("Trouble killing texture loading thread\n");
}

void DXGraphics::renderFrame() {
    float t = motion::secondsSince(timeGetTime(), m_startTime);
    (void)m_device->Clear(0, nullptr, D3DCLEAR_TARGET, kBlack, 0.0f, 0);
    (void)m_device->BeginScene();

    D3DXMATRIX rotation, translation, world, worldViewProjection;
    D3DXMatrixRotationYawPitchRoll(&rotation, t * m_spinRate.y, t * m_spinRate.x, t * m_spinRate.z);
    D3DXMatrixTranslation(&translation, m_position.x, m_position.y, m_position.z);
    D3DXMatrixMultiply(&world, &rotation, &translation);
    (void)m_device->SetTransform(D3DTS_WORLD, asD3DMatrix(world));
    // The view stays identity.
    D3DXMatrixMultiply(&worldViewProjection, &world, &m_projection);

    bool touchedEdge = false;
    for (int face = 0; face < cube::kFaceCount; ++face) {
        int first = face * cube::kVerticesPerFace;
        (void)m_device->SetTexture(0, m_faceTexture[face].get());
        (void)m_device->DrawPrimitive(D3DPT_TRIANGLESTRIP, static_cast<UINT>(first), 2);
        unsigned bits = cube::clipUnion(worldViewProjection, &m_vertices[first], cube::kVerticesPerFace);
        touchedEdge |= motion::bounceAtEdges(bits, m_velocity);
    }
    motion::bounceInDepth(m_position.z, m_zMin, m_zMax, m_velocity);
    motion::drift(m_position, m_velocity);
    int pair = motion::takeUprightPair(touchedEdge, m_keepUpright, m_uprightPair);
    if (pair >= 0)
        keepFacesUpright(pair, worldViewProjection);

    (void)m_device->EndScene();
    (void)m_device->Present(nullptr, nullptr, nullptr, nullptr);
    takePendingTexture();
}

void DXGraphics::keepFacesUpright(int pair, const D3DXMATRIX& worldViewProjection) {
    if (!m_facePicture[pair] && !m_facePicture[pair + 1])
        return; // built-in textures keep the initial coordinates
    int first = pair * cube::kVerticesPerFace;
    float rows[cube::kVerticesPerFace];
    float height = m_height > 0 ? static_cast<float>(m_height) : 1.0f;
    for (int v = 0; v < cube::kVerticesPerFace; ++v)
        rows[v] = cube::screenY(cube::toClipSpace(worldViewProjection, m_vertices[first + v]), height);
    upright::TexCoord faceA[cube::kVerticesPerFace];
    upright::TexCoord faceB[cube::kVerticesPerFace];
    if (!upright::uprightTexCoords(upright::findLowestEdge(rows), faceA, faceB))
        return;
    for (int v = 0; v < cube::kVerticesPerFace; ++v) {
        cube::CubeVertex& a = m_vertices[first + v];
        cube::CubeVertex& b = m_vertices[first + cube::kVerticesPerFace + v];
        if (m_facePicture[pair]) {
            a.tu = faceA[v].tu;
            a.tv = faceA[v].tv;
        }
        if (m_facePicture[pair + 1]) {
            b.tu = faceB[v].tu;
            b.tv = faceB[v].tv;
        }
    }
    if (!m_cubeVertexBuffer)
        return;
    // Both faces of the pair lie next to each other in the buffer.
    constexpr UINT kPairBytes = 2 * cube::kVerticesPerFace * sizeof(cube::CubeVertex);
    BYTE* data = nullptr;
    if (SUCCEEDED(m_cubeVertexBuffer->Lock(first * sizeof(cube::CubeVertex), kPairBytes, &data, 0)) && data) {
        std::memcpy(data, &m_vertices[first], kPairBytes);
        (void)m_cubeVertexBuffer->Unlock();
    }
}

void DXGraphics::takePendingTexture() {
    fw::ScopedLock lock(m_loader->lock);
    loader::TextureQueue& pending = m_loader->queue;
    if (pending.empty())
        return;
    m_faceTexture[m_nextFace] = std::move(pending.front());
    pending.pop_front();
    m_facePicture[m_nextFace] = true;
    m_nextFace = (m_nextFace + 1) % cube::kFaceCount;
}

void DXGraphics::cleanup() {
    Trace("Entering DXGraphics::cleanup\n");
    for (auto& texture : m_faceTexture)
        texture.reset();
    m_cubeVertexBuffer.reset();
    m_device.reset();
    m_d3d.reset();
    Trace("Leaving DXGraphics::cleanup\n");
}
