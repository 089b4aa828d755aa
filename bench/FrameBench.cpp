// Frame cost of the display engine under Wine, at 320x240 and 1024x768: renderFrame's CPU time on the
// frame thread and in the whole process, the unthrottled and the paced (20 ms one-shot re-arm) frame
// rate, against a bare frame of the same Direct3D calls on a window of the same size, run in
// alternating blocks in the same run, and the
// engine's own per-frame logic (matrices, clip bits, bounces) timed alone. Prints a table.
#include "d3dx/D3DX8.h"
#include "engine/ClipBits.h"
#include "engine/CubeGeometry.h"
#include "engine/DXGraphics.h"
#include "engine/Motion.h"
#include "engine/Upright.h"
#include "tests/support/Stopwatch.h"
#include "tests/support/Wait.h"

#include <mmsystem.h>

#include <atomic>
#include <cstdio>
#include <cstring>

namespace {

constexpr int kWarmUpFrames = 30;
constexpr int kFrames = 600;
constexpr DWORD kPacedMilliseconds = 3000;

double fileTimeMs(const FILETIME& a, const FILETIME& b) {
    ULARGE_INTEGER x{{a.dwLowDateTime, a.dwHighDateTime}}, y{{b.dwLowDateTime, b.dwHighDateTime}};
    return static_cast<double>(x.QuadPart + y.QuadPart) / 10000.0;
}
double threadCpuMs() {
    FILETIME created, exited, kernel, user;
    GetThreadTimes(GetCurrentThread(), &created, &exited, &kernel, &user);
    return fileTimeMs(kernel, user);
}
double processCpuMs() {
    FILETIME created, exited, kernel, user;
    GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user);
    return fileTimeMs(kernel, user);
}

struct Cost {
    double threadMsPerFrame = 0;
    double processMsPerFrame = 0;
    double fps = 0;
};

// Runs the two kinds of frame in alternating blocks, so that both see the same machine load; the
// window being measured is brought to the top, so that both present to a fully visible window.
template <typename A, typename B>
void measurePair(HWND windowA, A first, HWND windowB, B second, Cost& costA, Cost& costB) {
    constexpr int kBlock = 25;
    for (int i = 0; i < kWarmUpFrames; ++i) {
        first();
        second();
    }
    support::pumpMessages();
    double wall[2] = {}, thread[2] = {}, process[2] = {};
    for (int done = 0; done < kFrames; done += kBlock) {
        for (int which = 0; which < 2; ++which) {
            SetWindowPos(which == 0 ? windowA : windowB, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
            support::pumpMessages();
            double w = support::nowMs(), t = threadCpuMs(), p = processCpuMs();
            for (int i = 0; i < kBlock; ++i) {
                if (which == 0)
                    first();
                else
                    second();
            }
            wall[which] += support::nowMs() - w;
            thread[which] += threadCpuMs() - t;
            process[which] += processCpuMs() - p;
            support::pumpMessages();
        }
    }
    Cost* costs[2] = {&costA, &costB};
    for (int which = 0; which < 2; ++which) {
        costs[which]->threadMsPerFrame = thread[which] / kFrames;
        costs[which]->processMsPerFrame = process[which] / kFrames;
        costs[which]->fps = kFrames / (wall[which] / 1000.0);
    }
}

// The frame timer's pacing: a one-shot 20 ms event re-armed after each frame, on the timer thread.
struct Paced {
    DXGraphics* engine;
    std::atomic<bool> stop{false};
    std::atomic<int> frames{0};
    HANDLE done = CreateEventA(nullptr, TRUE, FALSE, nullptr);

    static void CALLBACK tick(UINT, UINT, DWORD_PTR user, DWORD_PTR, DWORD_PTR) {
        auto* self = reinterpret_cast<Paced*>(user);
        if (self->stop) {
            SetEvent(self->done);
            return;
        }
        self->engine->renderFrame();
        ++self->frames;
        if (!timeSetEvent(20, 5, tick, user, TIME_ONESHOT))
            SetEvent(self->done);
    }
};

double pacedFps(DXGraphics& engine) {
    Paced paced;
    paced.engine = &engine;
    double start = support::nowMs();
    if (!timeSetEvent(20, 5, Paced::tick, reinterpret_cast<DWORD_PTR>(&paced), TIME_ONESHOT))
        return 0;
    while (support::nowMs() - start < kPacedMilliseconds) {
        support::pumpMessages();
        Sleep(10);
    }
    int frames = paced.frames;
    double seconds = (support::nowMs() - start) / 1000.0;
    paced.stop = true;
    WaitForSingleObject(paced.done, 2000);
    CloseHandle(paced.done);
    return frames / seconds;
}

// The same Direct3D calls as one engine frame, without the engine: the baseline.
class BareFrame {
public:
    BareFrame(HWND window, int width, int height) {
        m_d3d.reset(m_library.create(d3dx::kD3DSdkVersion));
        if (!m_d3d)
            return;
        D3DDISPLAYMODE mode{};
        m_d3d->GetAdapterDisplayMode(D3DADAPTER_DEFAULT, &mode);
        D3DPRESENT_PARAMETERS params{};
        params.BackBufferCount = 1;
        params.SwapEffect = D3DSWAPEFFECT_DISCARD;
        params.hDeviceWindow = window;
        params.Windowed = TRUE;
        params.BackBufferFormat = mode.Format;
        if (FAILED(m_d3d->CreateDevice(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, window,
                                       D3DCREATE_SOFTWARE_VERTEXPROCESSING | D3DCREATE_MULTITHREADED, &params,
                                       m_device.receive())))
            return;
        cube::CubeVertex vertices[cube::kVertexCount];
        cube::buildCubeVertices(vertices);
        m_device->CreateVertexBuffer(sizeof vertices, D3DUSAGE_WRITEONLY, cube::kCubeFvf, D3DPOOL_MANAGED,
                                     m_buffer.receive());
        BYTE* data = nullptr;
        if (m_buffer && SUCCEEDED(m_buffer->Lock(0, 0, &data, 0))) {
            std::memcpy(data, vertices, sizeof vertices);
            m_buffer->Unlock();
        }
        m_device->SetRenderState(D3DRS_LIGHTING, FALSE);
        m_device->SetRenderState(D3DRS_CULLMODE, D3DCULL_CCW);
        D3DXMATRIX projection;
        D3DXMatrixPerspectiveFovLH(&projection, 0.7853982f, cube::viewAspect(width, height), 1.0f, 100.0f);
        m_device->SetTransform(D3DTS_PROJECTION, asD3DMatrix(projection));
        m_device->SetVertexShader(cube::kCubeFvf);
        m_device->SetStreamSource(0, m_buffer.get(), sizeof(cube::CubeVertex));
        m_start = timeGetTime();
    }
    bool ready() const { return static_cast<bool>(m_buffer); }
    // The engine's default spin at the centre of the depth band, so both draw about as many pixels.
    void frame() {
        float t = motion::secondsSince(timeGetTime(), m_start);
        D3DXMATRIX spin, move, world;
        D3DXMatrixRotationYawPitchRoll(&spin, t * 0.1308996f, t * 0.0872664f, 0.0f);
        D3DXMatrixTranslation(&move, 0, 0, 7.6f);
        D3DXMatrixMultiply(&world, &spin, &move);
        m_device->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF000000, 0.0f, 0);
        m_device->BeginScene();
        m_device->SetTransform(D3DTS_WORLD, asD3DMatrix(world));
        for (int face = 0; face < cube::kFaceCount; ++face) {
            m_device->SetTexture(0, nullptr);
            m_device->DrawPrimitive(D3DPT_TRIANGLESTRIP, face * 4, 2);
        }
        m_device->EndScene();
        m_device->Present(nullptr, nullptr, nullptr, nullptr);
    }

private:
    d3dx::D3D8Library m_library;
    fw::ComPtr<IDirect3D8> m_d3d;
    fw::ComPtr<IDirect3DDevice8> m_device;
    fw::ComPtr<IDirect3DVertexBuffer8> m_buffer;
    DWORD m_start = 0;
};

// The engine's own arithmetic for one frame: world matrix, clip bits of six faces, bounces, drift and
// one upright computation.
double logicMicrosecondsPerFrame() {
    cube::CubeVertex vertices[cube::kVertexCount];
    cube::buildCubeVertices(vertices);
    motion::MotionParams p = motion::motionFromSettings(motion::MotionSettings{99, -70, 40, 99, 99, 99, 40, true});
    motion::Vec3 position = motion::startPosition(p.zMin, p.zMax), velocity = p.velocity;
    D3DXMATRIX projection;
    D3DXMatrixPerspectiveFovLH(&projection, 0.7853982f, 4.0f / 3.0f, 1.0f, 100.0f);
    int pair = 0;
    unsigned sink = 0;
    constexpr int kIterations = 200000;
    double start = support::nowMs();
    for (int i = 0; i < kIterations; ++i) {
        float t = motion::secondsSince(static_cast<std::uint32_t>(i * 20), 0);
        D3DXMATRIX rotation, translation, world, all;
        D3DXMatrixRotationYawPitchRoll(&rotation, t * p.spinRate.y, t * p.spinRate.x, t * p.spinRate.z);
        D3DXMatrixTranslation(&translation, position.x, position.y, position.z);
        D3DXMatrixMultiply(&world, &rotation, &translation);
        D3DXMatrixMultiply(&all, &world, &projection);
        bool touched = false;
        for (int face = 0; face < cube::kFaceCount; ++face)
            touched |= motion::bounceAtEdges(cube::clipUnion(all, &vertices[face * 4], 4), velocity);
        motion::bounceInDepth(position.z, p.zMin, p.zMax, velocity);
        motion::drift(position, velocity);
        float rows[4];
        for (int v = 0; v < 4; ++v)
            rows[v] = cube::screenY(cube::toClipSpace(all, vertices[v]), 768.0f);
        upright::TexCoord a[4], b[4];
        sink += upright::uprightTexCoords(upright::findLowestEdge(rows), a, b) ? 1u : 0u;
        sink += touched ? 2u : 0u;
        (void)motion::takeUprightPair(touched, true, pair);
    }
    double elapsed = support::nowMs() - start;
    std::printf("(logic checksum %u)\n", sink);
    return elapsed * 1000.0 / kIterations;
}

HWND makeWindow(int width, int height) {
    WNDCLASSA wc{};
    wc.lpfnWndProc = DefWindowProcA;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    wc.lpszClassName = "PrismataFrameBench";
    RegisterClassA(&wc);
    return CreateWindowExA(0, wc.lpszClassName, "Frame bench", WS_POPUP | WS_VISIBLE, 0, 0, width, height, nullptr,
                           nullptr, wc.hInstance, nullptr);
}

} // namespace

int main() {
    const double logicUs = logicMicrosecondsPerFrame();
    std::printf("\n| size | renderFrame CPU, frame thread (ms) | renderFrame CPU, process (ms) | bare frame CPU, "
                "frame thread (ms) | loop overhead (ms) | unthrottled fps | bare fps | paced fps |\n");
    std::printf("|---|---|---|---|---|---|---|---|\n");
    const int sizes[][2] = {{320, 240}, {1024, 768}};
    for (const auto& size : sizes) {
        // One window for the engine, one for the bare frames, in the same place.
        HWND window = makeWindow(size[0], size[1]);
        HWND bareWindow = makeWindow(size[0], size[1]);
        support::pumpMessages();
        Cost engineCost, bareCost;
        double paced = 0;
        {
            DXGraphics engine;
            engine.setWindow(window, true, size[0], size[1]);
            engine.setMotion(motion::motionFromSettings(motion::MotionSettings{10, 15, 0, 15, 5, 0, 0, false}));
            engine.setupDirect3D();
            BareFrame bare(bareWindow, size[0], size[1]);
            if (!engine.isAlive() || !bare.ready()) {
                std::printf("| %dx%d | no device: %s |\n", size[0], size[1],
                            engine.errorMessage() ? engine.errorMessage() : "bare frame");
            } else {
                measurePair(
                    window, [&] { engine.renderFrame(); }, bareWindow, [&] { bare.frame(); }, engineCost, bareCost);
                paced = pacedFps(engine);
            }
        }
        std::printf("| %dx%d | %.3f | %.3f | %.3f | %.3f | %.0f | %.0f | %.1f |\n", size[0], size[1],
                    engineCost.threadMsPerFrame, engineCost.processMsPerFrame, bareCost.threadMsPerFrame,
                    engineCost.threadMsPerFrame - bareCost.threadMsPerFrame, engineCost.fps, bareCost.fps, paced);
        DestroyWindow(bareWindow);
        DestroyWindow(window);
        support::pumpMessages();
    }
    std::printf("\nEngine logic alone (matrices, clip bits, bounces, upright): %.2f us per frame\n", logicUs);
    return 0;
}
